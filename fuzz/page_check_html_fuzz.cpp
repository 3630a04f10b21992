// The page tool's scan for attribute values in HTML over random text: every
// value found lies inside the text, in order, and its references replaced
// never make a longer text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "check/html_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BaseString html =
        BaseString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    size_t previous = 0;
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
