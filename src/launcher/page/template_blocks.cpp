#include "launcher/page/template_blocks.h"

#include <algorithm>

TemplateBlocks::TemplateBlocks(const std::vector<TemplateSegment>& segments)
    : segments_(segments), next_not_deeper_(segments.size(), segments.size()) {
    for (size_t i = 0; i < segments.size(); ++i) {
        by_name_[segments[i].block_name.view()].push_back(i);
    }
    // From the end: a stack of segments whose next not-deeper one is still open.
    std::vector<size_t> later;
    for (size_t i = segments.size(); i-- > 0;) {
        while (!later.empty() && segments[later.back()].depth > segments[i].depth) {
            later.pop_back();
        }
        if (!later.empty()) {
            next_not_deeper_[i] = later.back();
        }
        later.push_back(i);
    }
}

const TemplateBlock& TemplateBlocks::Find(const BaseString& name) {
    static const TemplateBlock kNone;
    auto named = by_name_.find(name.view());
    if (named == by_name_.end()) {
        return kNone;
    }
    auto [found, added] = found_.try_emplace(named->first);
    TemplateBlock& block = found->second;
    if (!added) {
        return block;
    }
    size_t i = named->second.front();
    block.depth = segments_[i].depth;
    do {
        block.own.push_back(i);
        i = next_not_deeper_[i];
    } while (i < segments_.size() && segments_[i].depth == block.depth &&
             segments_[i].block_name == name);
    block.end = i;
    return block;
}

size_t TemplateBlocks::FirstNamed(std::u16string_view name, size_t from, size_t to) const {
    auto named = by_name_.find(name);
    if (named == by_name_.end()) {
        return to;
    }
    auto first = std::lower_bound(named->second.begin(), named->second.end(), from);
    return first != named->second.end() && *first < to ? *first : to;
}
