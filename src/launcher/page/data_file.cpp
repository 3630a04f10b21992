// Reading the data file: the translations of the page language and the items.
#include <utility>

#include "base/format.h"
#include "error/error.h"
#include "launcher/page/page_builder.h"
#include "launcher/texts.h"

namespace {

// Both errors are marked, so the start-up failure message names the reason
// below its context line instead of only saying that start-up failed.
[[noreturn]] void ThrowLanguageFileError() {
    throw Error(0, BaseString(LocalizedText(LanguageFormatText)), true);
}

[[noreturn]] void ThrowDataFileError() {
    throw Error(0, BaseString(LocalizedText(DataFormatText)), true);
}

bool IsNamed(const Ref<Xml::Node>& node, std::u16string_view name) {
    return node->value() == name;
}

// A leaf has no children.
std::vector<Ref<Xml::Node>> ChildrenOf(const Ref<Xml::Node>& node) {
    Ref<Xml::ParentNode> parent = SoftCast<Xml::ParentNode>(node);
    return parent ? parent->children() : std::vector<Ref<Xml::Node>>();
}

// The children of the document's one node, which must be named "content".
std::vector<Ref<Xml::Node>> ContentChildren(const Ref<Xml::Document>& document,
                                            void (*throw_format_error)()) {
    std::vector<Ref<Xml::Node>> top = document->children();
    if (top.size() != 1 || !IsNamed(top[0], u"content")) {
        throw_format_error();
    }
    return ChildrenOf(top[0]);
}

Ref<Xml::Node> FirstNamed(const std::vector<Ref<Xml::Node>>& nodes, std::u16string_view name) {
    for (const Ref<Xml::Node>& node : nodes) {
        if (IsNamed(node, name)) {
            return node;
        }
    }
    return {};
}

}  // namespace

TranslationMap PageBuilder::ReadTranslations(const Ref<Xml::Document>& document) {
    std::vector<Ref<Xml::Node>> content = ContentChildren(document, ThrowLanguageFileError);
    if (content.empty()) {
        ThrowLanguageFileError();
    }
    TranslationMap translations;
    if (!IsNamed(content[0], u"translations")) {
        return translations;
    }
    std::vector<Ref<Xml::Node>> languages = ChildrenOf(content[0]);
    std::vector<Ref<Xml::Node>> strings;
    if (Ref<Xml::Node> chosen = FirstNamed(languages, Base::Format("L%04x", page_language_))) {
        strings = ChildrenOf(chosen);
    }
    if (strings.empty()) {
        if (Ref<Xml::Node> english = FirstNamed(languages, u"L0409")) {
            page_language_ = 0x0409;
            strings = ChildrenOf(english);
        }
    }
    for (const Ref<Xml::Node>& node : strings) {
        if (!IsNamed(node, u"string")) {
            ThrowLanguageFileError();
        }
        Ref<Xml::Element> string = Cast<Xml::Element>(node, "autorun");
        BaseString key = u"#" + string->attribute(BaseString(u"id")) + u"#";
        if (!translations.emplace(key, string->attribute(BaseString(u"value"))).second) {
            ThrowLanguageFileError();
        }
    }
    return translations;
}

std::vector<PageItem> PageBuilder::ReadItems(const Ref<Xml::Document>& document) {
    Ref<Xml::Node> data = FirstNamed(ContentChildren(document, ThrowDataFileError), u"data");
    if (!data) {
        ThrowDataFileError();
    }
    // Pre-order walk with an explicit stack: data files may nest deeply.
    struct Visit {
        Ref<Xml::Node> node;
        int32_t parent_index;
    };
    std::vector<PageItem> items;
    std::vector<Visit> pending{{data, 0}};
    int32_t counter = 1;
    while (!pending.empty()) {
        Visit visit = std::move(pending.back());
        pending.pop_back();
        int32_t children_parent = visit.parent_index;
        BaseString name = visit.node->value();
        // Elements named "data" are transparent: their children belong to their parent.
        if (Ref<Xml::Element> element = SoftCast<Xml::Element>(visit.node);
            element && name != u"data") {
            items.push_back({counter, visit.parent_index, name, element});
            children_parent = counter++;
        }
        std::vector<Ref<Xml::Node>> children = ChildrenOf(visit.node);
        for (auto child = children.rbegin(); child != children.rend(); ++child) {
            // Text, CDATA and comments have no place among the items.
            pending.push_back({Cast<Xml::ParentNode>(*child, "autorun"), children_parent});
        }
    }
    return items;
}
