// The declarations put into a page's head, over random pages: the page comes
// back whole (less a byte-order mark that starts it) with at most the two
// declarations inserted at one place.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "launcher/page/head_declarations.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BaseString page =
        BaseString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    constexpr std::u16string_view kBase = u"file:///D:/";
    const size_t mode = WithHeadDeclarations(u"", u"").length();
    const size_t both = WithHeadDeclarations(u"", kBase).length();
    BaseString prepared = WithHeadDeclarations(page.view(), kBase);
    std::u16string_view in = page.view();
    // Less one byte-order mark that starts it.
    if (in.starts_with(u'\uFEFF')) {
        in.remove_prefix(1);
    }
    std::u16string_view out = prepared.view();
    size_t added = out.size() - in.size();
    if (out.size() < in.size() ||
        (added != 0 && added != mode && added != both - mode && added != both)) {
        __builtin_trap();
    }
    // Inserted at one place: what the two share at the start, the page's
    // remainder ends the prepared page.
    size_t common = 0;
    while (common < in.size() && in[common] == out[common]) {
        ++common;
    }
    if (!out.ends_with(in.substr(common))) {
        __builtin_trap();
    }
    return 0;
}
