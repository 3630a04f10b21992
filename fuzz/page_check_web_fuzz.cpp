// The page tool's scans of style sheets and scripts over random text: what
// they find lies inside the text, in order, and is what they say it is.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/string.h"
#include "check/web_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BaseString text =
        BaseString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    std::u16string_view view = text.view();
    for (bool attribute : {false, true}) {
        size_t previous = 0;
        for (const CssDeclaration& declaration : ScanCss(view, attribute)) {
            if (declaration.at < previous || declaration.at >= view.size() ||
                declaration.property.empty()) {
                __builtin_trap();
            }
            previous = declaration.at;
        }
    }
    size_t previous = 0;
    std::vector<NewerScriptSyntax> found = FindNewerScriptSyntax(view);
    for (const NewerScriptSyntax& syntax : found) {
        bool arrow = syntax.kind == NewerScriptSyntax::Kind::kArrowFunction;
        if (found.size() > 2 || syntax.at < previous || syntax.at >= view.size() ||
            (arrow ? view.substr(syntax.at, 2) != u"=>" : view[syntax.at] != u'`')) {
            __builtin_trap();
        }
        previous = syntax.at;
    }
    return 0;
}
