// The path grammar over arbitrary names and current directories, in both
// styles. Input: one byte choosing the style (bit 0: POSIX), then UTF-8 text:
// the name, and after a line feed the current directory.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/string.h"
#include "io/path_grammar.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// What every normalised text promises: it normalises to itself, and so do its
// root and its parent; no component is longer than the limit.
void CheckNormalized(const BaseString& text, Io::PathStyle style) {
    Check(Io::NormalizePath(text, u"", style) == text);
    size_t root = Io::RootLength(text, style);
    Check(root > 0 && root <= text.length());
    Check(Io::NormalizePath(text.view().substr(0, root), u"", style) ==
          text.view().substr(0, root));
    std::u16string_view parent = Io::ParentText(text, style);
    Check(parent.empty() == (root == text.length()));
    if (!parent.empty()) {
        Check(Io::NormalizePath(parent, u"", style) == parent);
        std::u16string_view name = Io::LastComponent(text, style);
        Check(!name.empty() && name.size() <= Io::kMaxPathComponent);
        Check(Io::NormalizePath(Io::ResolveText(parent, name, style), u"", style) == text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    Io::PathStyle style = (data[0] & 1) ? Io::PathStyle::kPosix : Io::PathStyle::kWindows;
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t split = input.find('\n');
    BaseString name = BaseString::FromUtf8(input.substr(0, split));
    BaseString directory = split == std::string_view::npos
                               ? BaseString(style == Io::PathStyle::kPosix ? u"/cwd" : u"C:\\cwd")
                               : BaseString::FromUtf8(input.substr(split + 1));
    BaseString normalized = Io::NormalizePath(name, directory, style);
    if (!normalized.empty()) {
        CheckNormalized(normalized, style);
    }
    if (Io::HasRoot(name, style)) {
        Check(Io::NormalizePath(name, u"", style) == normalized);
    }
    return 0;
}
