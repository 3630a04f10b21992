// The HTML scan over random text: tags lie inside the text one after the
// other, each with its attributes inside it; the attribute values found lie
// inside the text, in order, and their references replaced never make a
// longer text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "launcher/page/html_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BaseString html =
        BaseString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    size_t previous = 0;
    for (const HtmlTag& tag : ScanHtmlTags(html.view())) {
        if (tag.at < previous || tag.end <= tag.at || tag.end > html.length() ||
            html[tag.at] != u'<') {
            __builtin_trap();
        }
        for (const auto& [name, value] : tag.attributes) {
            if (value.at < tag.at || value.at + value.raw.size() > tag.end) {
                __builtin_trap();
            }
        }
        previous = tag.end;
    }
    previous = 0;
    for (const HtmlAttributeValue& found :
         FindTagAttributes(html.view(), {u"a", u"area"}, u"href")) {
        if (found.at < previous || found.at + found.raw.size() > html.length() ||
            found.raw.data() != html.view().data() + found.at) {
            __builtin_trap();
        }
        previous = found.at;
        if (ReplaceCharacterReferences(found.raw).length() > found.raw.size()) {
            __builtin_trap();
        }
    }
    return 0;
}
