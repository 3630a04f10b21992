#include "launcher/page/template_parser.h"

#include <algorithm>
#include <string_view>

#include "error/error.h"
#include "launcher/texts.h"

namespace {

struct OpenBlock {
    BaseString name;
    size_t text_start;
};

// Marked, so the start-up failure message shows it below its context line.
[[noreturn]] void ThrowSyntaxError() {
    throw Error(0, BaseString(LocalizedText(TemplateSyntaxText)), true);
}

}  // namespace

std::vector<TemplateSegment> ParseTemplate(const BaseString& text) {
    const std::u16string_view all = text.view();
    std::vector<TemplateSegment> segments;
    std::vector<OpenBlock> open;
    size_t scan = 0;
    size_t resume = 0;
    auto slice = [&](size_t from, size_t to) { return BaseString(all.substr(from, to - from)); };

    for (;;) {
        size_t opener = all.find(u"<%", scan);
        size_t closer = all.find(u"</%", scan);
        if (opener == std::u16string_view::npos && closer == std::u16string_view::npos) {
            break;
        }
        bool opening = opener < closer;
        size_t tag_start = opening ? opener : closer;
        size_t name_start = tag_start + (opening ? 2 : 3);
        size_t name_end = all.find(u"%>", name_start);
        if (name_end == std::u16string_view::npos) {
            ThrowSyntaxError();
        }
        BaseString name = slice(name_start, name_end);
        size_t tag_end = name_end + 2;

        if (opening) {
            if (segments.empty()) {
                segments.push_back({0, BaseString(), slice(0, tag_start)});
            }
            if (!open.empty()) {
                segments.push_back({static_cast<uint32_t>(open.size()), open.back().name,
                                    slice(open.back().text_start, tag_start)});
            }
            // A block inside a block of its own name could never render usefully.
            bool nested_in_namesake =
                std::any_of(open.begin(), open.end(),
                            [&](const OpenBlock& block) { return block.name == name; });
            if (nested_in_namesake) {
                ThrowSyntaxError();
            }
            open.push_back({name, tag_end});
        } else {
            if (open.empty() || open.back().name != name) {
                ThrowSyntaxError();
            }
            segments.push_back({static_cast<uint32_t>(open.size()), name,
                                slice(open.back().text_start, tag_start)});
            open.pop_back();
            if (!open.empty()) {
                open.back().text_start = tag_end;
            }
            resume = tag_end;
        }
        scan = name_end;
    }
    if (!open.empty()) {
        ThrowSyntaxError();
    }
    segments.push_back({0, BaseString(), slice(resume, all.size())});
    return segments;
}
