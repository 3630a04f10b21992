#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "base/string.h"
#include "launcher/page/template_parser.h"
#include "object/ref.h"
#include "xml/node.h"

// Page element id ("vis" and the item's ordinal) -> class identifier of the
// page-extension component that decides whether the element is shown.
using VisibilityMap = std::map<BaseString, BaseString>;

// Translation key ("#id#") -> translated text, in ordinal key order.
using TranslationMap = std::map<BaseString, BaseString>;

// One item of the data section, in document order.
struct PageItem {
    int32_t index;         // 1, 2, 3, ... in document order
    int32_t parent_index;  // the nearest enclosing item, 0 at the top
    BaseString name;       // the element's name: the block that renders it
    Ref<Xml::Element> element;
};

// Builds the launcher's page from the template and the data file: items are
// rendered with the block of their element's name, nested items inside the
// nested block of their parent; macros fill in built-in values, attributes and
// a running counter; a last pass replaces translation keys.
class PageBuilder {
public:
    // `page_language` is the current language; the executable path feeds the
    // "%%fullmodule", "%%module", "%%rdir" and "%%dir" macros.
    PageBuilder(uint32_t page_language, const BaseString& executable_path);

    // The whole page; adds an entry to `visibility` for every item bound to a
    // page extension. Called once per builder.
    BaseString BuildPage(const BaseString& template_text, const Ref<Xml::Document>& document,
                         VisibilityMap& visibility);

    // The translations of the page language, else of English (which then
    // becomes the page language). Throws the localized language-file error.
    TranslationMap ReadTranslations(const Ref<Xml::Document>& document);
    // The items of the data section. Throws the localized data-file error.
    std::vector<PageItem> ReadItems(const Ref<Xml::Document>& document);

    void SetBuiltinMacros();
    // The text with the built-in macros, "%%counter" and, given an element, its
    // attribute macros "%%element.attribute%%" applied.
    BaseString Substitute(const BaseString& text, const Ref<Xml::Element>& element);
    BaseString RenderPage(const std::vector<PageItem>& items,
                          const std::vector<TemplateSegment>& segments,
                          const TranslationMap& translations, VisibilityMap& visibility);

    uint32_t page_language() const { return page_language_; }
    int32_t item_counter() const { return item_counter_; }

private:
    uint32_t page_language_;
    std::map<BaseString, BaseString> builtin_macros_;
    int32_t item_counter_ = 0;
    BaseString executable_path_;
};
