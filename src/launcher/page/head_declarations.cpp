#include "launcher/page/head_declarations.h"

#include <vector>

namespace {

constexpr char16_t kModeDeclaration[] =
    u"<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">";

bool HasBase(const std::vector<HtmlTag>& tags) {
    for (const HtmlTag& tag : tags) {
        if (tag.Is(u"base") && tag.Attribute(u"href")) {
            return true;
        }
    }
    return false;
}

// Where the head's content starts: after the doctype, html and head tags that
// open the page (with nothing but blanks and comments between them).
size_t HeadStart(std::u16string_view page, const std::vector<HtmlTag>& tags) {
    size_t at = 0;
    for (const HtmlTag& tag : tags) {
        if (!IsBlankHtml(page.substr(at, tag.at - at))) {
            break;
        }
        bool declaration = tag.name.starts_with(u'!') || tag.name.starts_with(u'?');
        if (!declaration && !tag.Is(u"html") && !tag.Is(u"head")) {
            break;
        }
        at = tag.end;
        if (tag.Is(u"head")) {
            break;
        }
    }
    return at;
}

// The text as an attribute value between double quotes.
BaseString AttributeText(std::u16string_view text) {
    BaseString escaped;
    for (char16_t c : text) {
        switch (c) {
            case u'&':
                escaped += u"&amp;";
                break;
            case u'"':
                escaped += u"&quot;";
                break;
            case u'<':
                escaped += u"&lt;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

}  // namespace

const HtmlTag* HonouredModeDeclaration(const std::vector<HtmlTag>& tags) {
    for (const HtmlTag& tag : tags) {
        if (IsDocumentModeDeclaration(tag)) {
            return &tag;
        }
        bool declaration = tag.name.starts_with(u'!') || tag.name.starts_with(u'?');
        if (!declaration && !tag.name.starts_with(u'/') && !tag.Is(u"html") && !tag.Is(u"head") &&
            !tag.Is(u"title") && !tag.Is(u"meta")) {
            return nullptr;
        }
    }
    return nullptr;
}

bool IsDocumentModeDeclaration(const HtmlTag& tag) {
    if (!tag.Is(u"meta")) {
        return false;
    }
    std::optional<BaseString> name = tag.Attribute(u"http-equiv");
    return name && SameIgnoringAsciiCase(name->view(), u"X-UA-Compatible");
}

BaseString WithHeadDeclarations(std::u16string_view page, std::u16string_view base_url) {
    if (page.starts_with(u'\uFEFF')) {
        page.remove_prefix(1);
    }
    std::vector<HtmlTag> tags = ScanHtmlTags(page);
    const HtmlTag* own_mode = HonouredModeDeclaration(tags);
    BaseString declarations;
    if (!own_mode) {
        declarations += kModeDeclaration;
    }
    if (!base_url.empty() && !HasBase(tags)) {
        declarations += u"<base href=\"" + AttributeText(base_url) + u"\">";
    }
    if (declarations.empty()) {
        return BaseString(page);
    }
    // After the page's own mode, which a base before it would silence.
    size_t at = own_mode ? own_mode->end : HeadStart(page, tags);
    BaseString prepared(page.substr(0, at));
    prepared += declarations;
    prepared += page.substr(at);
    return prepared;
}
