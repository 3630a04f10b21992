#include "launcher/page/medium_address.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/hex.h"
#include "base/utf.h"

namespace {

char16_t LowerAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// The path of a "file" URL in one spelling: the part before a query or
// fragment, unescaped (escapes as UTF-8), "\" as "/", no leading slashes, a
// drive's "|" as ":", ASCII in lower case. None for any other URL, and for
// escapes that are no UTF-8.
std::optional<std::u16string> FilePath(std::u16string_view url) {
    constexpr std::u16string_view kScheme = u"file:";
    if (url.size() < kScheme.size()) {
        return std::nullopt;
    }
    for (size_t i = 0; i < kScheme.size(); ++i) {
        if (LowerAscii(url[i]) != kScheme[i]) {
            return std::nullopt;
        }
    }
    url = url.substr(kScheme.size());
    url = url.substr(0, url.find_first_of(u"?#"));
    std::u16string path;
    std::string escaped;  // bytes of a run of escapes
    auto flush = [&]() -> bool {
        size_t at = 0;
        while (at < escaped.size()) {
            Base::Utf8Sequence sequence = Base::ReadUtf8Sequence(
                reinterpret_cast<const uint8_t*>(escaped.data()) + at, escaped.size() - at);
            if (sequence.kind != Base::Utf8Sequence::kValid) {
                return false;
            }
            char16_t units[2];
            path.append(units, Base::PutCodePoint(sequence.code_point, units));
            at += sequence.length;
        }
        escaped.clear();
        return true;
    };
    for (size_t i = 0; i < url.size(); ++i) {
        if (url[i] == u'%' && i + 2 < url.size() && Base::HexDigitValue(url[i + 1]) >= 0 &&
            Base::HexDigitValue(url[i + 2]) >= 0) {
            escaped += static_cast<char>(Base::HexDigitValue(url[i + 1]) * 16 +
                                         Base::HexDigitValue(url[i + 2]));
            i += 2;
            continue;
        }
        if (!flush()) {
            return std::nullopt;
        }
        path += url[i];
    }
    if (!flush()) {
        return std::nullopt;
    }
    for (char16_t& c : path) {
        c = c == u'\\' ? u'/' : LowerAscii(c);
    }
    path.erase(0, path.find_first_not_of(u'/'));
    if (path.size() >= 2 && path[1] == u'|') {
        path[1] = u':';
    }
    return path;
}

}  // namespace

BaseString FolderFileUrl(std::u16string_view folder) {
    BaseString url(u"file:");
    if (folder.starts_with(u"\\\\") || folder.starts_with(u"//")) {
        url += u"//";
        folder.remove_prefix(2);
    } else if (!folder.starts_with(u'/') && !folder.starts_with(u'\\')) {
        url += u"///";
    } else {
        url += u"//";
    }
    for (char16_t c : folder) {
        if (c == u'\\') {
            url += u'/';
        } else if (c < 0x20 || c == 0x7F || c == u' ' || c == u'%' || c == u'#' || c == u'?') {
            url += u'%';
            url += static_cast<char16_t>(Base::HexDigit(c >> 4, true));
            url += static_cast<char16_t>(Base::HexDigit(c & 15, true));
        } else {
            url += c;
        }
    }
    if (!url.view().ends_with(u'/')) {
        url += u'/';
    }
    return url;
}

bool IsFileUrlInFolder(std::u16string_view url, std::u16string_view folder_url) {
    std::optional<std::u16string> path = FilePath(url);
    std::optional<std::u16string> folder = FilePath(folder_url);
    if (!path || !folder || folder->empty()) {
        return false;
    }
    if (!folder->ends_with(u'/')) {
        folder->push_back(u'/');
    }
    if (!(*path + u'/').starts_with(*folder)) {
        return false;
    }
    std::u16string_view rest =
        std::u16string_view(*path).substr(std::min(path->size(), folder->size()));
    for (size_t start = 0;;) {
        size_t end = rest.find(u'/', start);
        std::u16string_view segment = rest.substr(start, end - start);
        if (segment == u"." || segment == u"..") {
            return false;
        }
        if (end == std::u16string_view::npos) {
            return true;
        }
        start = end + 1;
    }
}
