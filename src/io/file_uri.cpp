#include "io/file_uri.h"

namespace Io {

namespace {

constexpr int kSchemeComponent = 0;
constexpr int kHostComponent = 3;
constexpr int kPathComponent = 5;

// Appends the text with each `from1` turned into `to1` and each `from2` into `to2`.
void AppendReplacing(BaseString& out, std::u16string_view text, char16_t from1, char16_t to1,
                     char16_t from2, char16_t to2) {
    out.Reserve(out.length() + text.size());
    for (char16_t c : text) {
        out += c == from1 ? to1 : c == from2 ? to2 : c;
    }
}

}  // namespace

UriComponents FileUriComponents(std::u16string_view path_text) {
    BaseString path;
    AppendReplacing(path, path_text, u'\\', u'/', u':', u'|');
    return {{kSchemeComponent, BaseString(u"file")}, {kPathComponent, path}};
}

BaseString PathNameOfFileUri(const UriComponents& components) {
    BaseString name;
    if (auto host = components.find(kHostComponent); host != components.end()) {
        name += u"\\\\";
        name += host->second;
        name += u'\\';
    }
    if (auto path = components.find(kPathComponent); path != components.end()) {
        AppendReplacing(name, path->second, u'|', u':', u'/', u'\\');
    }
    return name;
}

}  // namespace Io
