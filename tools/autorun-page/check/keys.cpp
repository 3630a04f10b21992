// Translation keys: where they are used, where they are defined.
#include <functional>
#include <set>

#include "check/checks.h"
#include "launcher/page/start_page.h"

namespace {

// Ids as authors write them. Text between two "#"s that is neither such an id
// nor a defined one (a colour, a fragment, a script) is no key.
bool LooksLikeId(std::u16string_view id) {
    if (id.empty()) {
        return false;
    }
    for (char16_t c : id) {
        bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        bool digit = c >= u'0' && c <= u'9';
        if (!letter && !digit && c != u'_' && c != u'-' && c != u'.') {
            return false;
        }
    }
    return true;
}

// Calls `use` with the offset and the key of every "#id#" in the text, left to
// right as the translation pass finds them.
void ForEachKey(std::u16string_view text, const std::set<BaseString>& defined,
                const std::function<void(size_t, const BaseString&)>& use) {
    size_t open = text.find(u'#');
    while (open != std::u16string_view::npos) {
        size_t close = text.find(u'#', open + 1);
        if (close == std::u16string_view::npos) {
            return;
        }
        BaseString key(text.substr(open, close - open + 1));
        if (defined.count(key) || LooksLikeId(text.substr(open + 1, close - open - 1))) {
            use(open, key);
            open = text.find(u'#', close + 1);
        } else {
            open = close;
        }
    }
}

BaseString LanguageList(const std::vector<const MediumLanguage*>& languages) {
    BaseString list;
    for (const MediumLanguage* language : languages) {
        list += (list.empty() ? u"" : u", ") + language->name;
    }
    return list;
}

}  // namespace

void CheckKeys(const Medium& medium, Findings& findings) {
    if (!medium.has_data()) {
        return;
    }
    std::set<BaseString> defined;
    std::vector<const MediumLanguage*> translating;  // the languages with strings of their own
    for (const MediumLanguage& language : medium.languages()) {
        for (const auto& [key, text] : language.strings) {
            defined.insert(key);
        }
        if (!language.strings.empty()) {
            translating.push_back(&language);
        }
    }

    std::set<BaseString> used;
    auto check_use = [&](std::u16string_view file, Xml::TextPosition at, const BaseString& key,
                         const BaseString& where) {
        used.insert(key);
        std::vector<const MediumLanguage*> missing;
        for (const MediumLanguage* language : translating) {
            if (!language->strings.count(key)) {
                missing.push_back(language);
            }
        }
        if (missing.empty() && !translating.empty()) {
            return;
        }
        BaseString message = u"\"" + key + u"\"" + where;
        findings.Warning(file, at,
                         missing.size() == translating.size()
                             ? message + u": no language defines it, it appears as written"
                             : message + u" is not defined in " + LanguageList(missing) +
                                   u": it appears as written on those pages");
    };
    if (medium.has_template()) {
        ForEachKey(medium.template_text().view(), defined, [&](size_t at, const BaseString& key) {
            check_use(kTemplateFileName, medium.TemplatePosition(at), key, BaseString());
        });
    }
    for (const PageItem& item : medium.items()) {
        for (const BaseString& attribute : item.element->attributeNames()) {
            ForEachKey(item.element->attribute(attribute).view(), defined,
                       [&](size_t, const BaseString& key) {
                           check_use(kDataFileName, medium.DataPosition(item.element), key,
                                     u" (attribute \"" + attribute + u"\")");
                       });
        }
    }
    // A translated text can hold a key that a later one replaces.
    for (const MediumLanguage& language : medium.languages()) {
        for (const auto& [key, text] : language.strings) {
            ForEachKey(text.view(), defined, [&](size_t, const BaseString& inner) {
                if (defined.count(inner)) {
                    used.insert(inner);
                }
            });
        }
    }
    for (const MediumLanguage& language : medium.languages()) {
        for (const auto& [key, element] : language.defined) {
            if (!used.count(key)) {
                findings.Warning(kDataFileName, medium.DataPosition(element),
                                 u"\"" + key + u"\" is defined but never used");
            }
        }
    }
}
