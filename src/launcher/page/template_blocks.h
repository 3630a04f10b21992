#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/string.h"
#include "launcher/page/template_parser.h"

// The block that renders the items of one name: from the first segment of that
// name, every segment deeper than it or of its depth and name, up to the first
// other one. The segments of its depth are its own text; the deeper ones are
// the nested blocks, where the items' children go.
struct TemplateBlock {
    uint32_t depth = 0;
    std::vector<size_t> own;  // its own segments, in order; none when no block has the name
    size_t end = 0;           // the first segment after it
};

// Finds blocks in a parsed template without walking the segments for each
// name: the segments of every name and, for every segment, the next one that is
// not deeper are indexed once.
class TemplateBlocks {
public:
    // The segments must outlive this.
    explicit TemplateBlocks(const std::vector<TemplateSegment>& segments);

    // The block of that name (found once, then remembered); one without own
    // segments when no segment has the name.
    const TemplateBlock& Find(const BaseString& name);

    // The first segment of that name from `from` on and before `to`; `to` when
    // there is none.
    size_t FirstNamed(std::u16string_view name, size_t from, size_t to) const;

private:
    const std::vector<TemplateSegment>& segments_;
    std::unordered_map<std::u16string_view, std::vector<size_t>> by_name_;
    std::vector<size_t> next_not_deeper_;
    std::unordered_map<std::u16string_view, TemplateBlock> found_;
};
