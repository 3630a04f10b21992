// Reading the data file: the translations of the page language and the items.
#include "launcher/page/data_file.h"

#include <algorithm>
#include <utility>

#include "base/format.h"
#include "launcher/texts.h"

namespace {

// Both errors are marked, so the start-up failure message names the reason
// below its context line instead of only saying that start-up failed.
Error LanguageFileError() {
    return Error(0, BaseString(LocalizedText(LanguageFormatText)), true);
}

Error DataFileError() {
    return Error(0, BaseString(LocalizedText(DataFormatText)), true);
}

// The error Cast<T> throws.
template <class T>
Error CastError() {
    return Error::Internal("Cast<%s>", "autorun", T::kIid.text);
}

void Problem(DataFileProblems* problems, const Ref<Xml::Node>& node, DataFileFault fault,
             const Error& error) {
    if (!problems) {
        throw error;
    }
    problems->Report(node, fault, error);
}

bool IsNamed(const Ref<Xml::Node>& node, std::u16string_view name) {
    return node->value() == name;
}

// A leaf has no children.
std::vector<Ref<Xml::Node>> ChildrenOf(const Ref<Xml::Node>& node) {
    Ref<Xml::ParentNode> parent = SoftCast<Xml::ParentNode>(node);
    return parent ? parent->children() : std::vector<Ref<Xml::Node>>();
}

Ref<Xml::Node> FirstNamed(const std::vector<Ref<Xml::Node>>& nodes, std::u16string_view name) {
    for (const Ref<Xml::Node>& node : nodes) {
        if (IsNamed(node, name)) {
            return node;
        }
    }
    return {};
}

// The document's one node when it is named "content"; otherwise the error,
// reported at the first node that does not fit.
Ref<Xml::ParentNode> ContentElement(const Ref<Xml::Document>& document, const Error& error,
                                    DataFileProblems* problems) {
    std::vector<Ref<Xml::Node>> top = document->children();
    for (size_t i = 0; i < top.size(); ++i) {
        if (i > 0 || !IsNamed(top[i], u"content")) {
            Problem(problems, top[i], DataFileFault::kNotOneContent, error);
            return {};
        }
    }
    if (top.empty()) {
        Problem(problems, document, DataFileFault::kNotOneContent, error);
        return {};
    }
    return SoftCast<Xml::ParentNode>(top[0]);
}

}  // namespace

Ref<Xml::ParentNode> ReadContent(const Ref<Xml::Document>& document, DataFileProblems* problems) {
    Ref<Xml::ParentNode> content = ContentElement(document, LanguageFileError(), problems);
    if (content && content->children().empty()) {
        Problem(problems, content, DataFileFault::kEmptyContent, LanguageFileError());
        return {};
    }
    return content;
}

std::vector<Ref<Xml::Node>> LanguageElements(const Ref<Xml::ParentNode>& content) {
    std::vector<Ref<Xml::Node>> children = content->children();
    if (children.empty() || !IsNamed(children[0], u"translations")) {
        return {};
    }
    return ChildrenOf(children[0]);
}

TranslationMap ReadLanguageStrings(const Ref<Xml::Node>& language, DataFileProblems* problems,
                                   std::map<BaseString, Ref<Xml::Element>>* elements) {
    TranslationMap translations;
    for (const Ref<Xml::Node>& node : ChildrenOf(language)) {
        if (!IsNamed(node, u"string")) {
            Problem(problems, node, DataFileFault::kNotAString, LanguageFileError());
            continue;
        }
        Ref<Xml::Element> string = SoftCast<Xml::Element>(node);
        if (!string) {
            Problem(problems, node, DataFileFault::kStringNotElement, CastError<Xml::Element>());
            continue;
        }
        BaseString key = u"#" + string->attribute(BaseString(u"id")) + u"#";
        if (!translations.emplace(key, string->attribute(BaseString(u"value"))).second) {
            Problem(problems, node, DataFileFault::kDuplicateKey, LanguageFileError());
            continue;
        }
        if (elements) {
            elements->emplace(std::move(key), std::move(string));
        }
    }
    return translations;
}

Ref<Xml::Node> ReadDataSection(const Ref<Xml::ParentNode>& content, DataFileProblems* problems) {
    Ref<Xml::Node> data = FirstNamed(content->children(), u"data");
    if (!data) {
        Problem(problems, content, DataFileFault::kNoDataSection, DataFileError());
    }
    return data;
}

std::vector<PageItem> ReadDataItems(const Ref<Xml::Node>& data, DataFileProblems* problems) {
    // Pre-order walk with an explicit stack: data files may nest deeply.
    struct Visit {
        Ref<Xml::ParentNode> node;
        int32_t parent_index;
    };
    std::vector<PageItem> items;
    std::vector<Visit> pending;
    if (Ref<Xml::ParentNode> section = SoftCast<Xml::ParentNode>(data)) {
        pending.push_back({section, 0});
    }
    int32_t counter = 1;
    while (!pending.empty()) {
        Visit visit = std::move(pending.back());
        pending.pop_back();
        int32_t children_parent = visit.parent_index;
        // Elements named "data" are transparent: their children belong to their parent.
        if (Ref<Xml::Element> element = SoftCast<Xml::Element>(visit.node)) {
            BaseString name = element->value();
            if (name != u"data") {
                items.push_back({counter, visit.parent_index, std::move(name), element});
                children_parent = counter++;
            }
        }
        std::vector<Ref<Xml::Node>> children = visit.node->children();
        size_t first_new = pending.size();
        for (const Ref<Xml::Node>& child : children) {
            // Text, CDATA and comments have no place among the items.
            Ref<Xml::ParentNode> parent = SoftCast<Xml::ParentNode>(child);
            if (!parent) {
                Problem(problems, child, DataFileFault::kNotAnItem, CastError<Xml::ParentNode>());
                continue;
            }
            pending.push_back({std::move(parent), children_parent});
        }
        std::reverse(pending.begin() + first_new, pending.end());
    }
    return items;
}

TranslationMap PageBuilder::ReadTranslations(const Ref<Xml::Document>& document) {
    std::vector<Ref<Xml::Node>> languages = LanguageElements(ReadContent(document, nullptr));
    Ref<Xml::Node> strings = FirstNamed(languages, Base::Format("L%04x", page_language_));
    if (!strings || ChildrenOf(strings).empty()) {
        strings = FirstNamed(languages, u"L0409");
        if (!strings) {
            return {};
        }
        page_language_ = 0x0409;
    }
    return ReadLanguageStrings(strings, nullptr);
}

std::vector<PageItem> PageBuilder::ReadItems(const Ref<Xml::Document>& document) {
    Ref<Xml::ParentNode> content = ContentElement(document, DataFileError(), nullptr);
    return ReadDataItems(ReadDataSection(content, nullptr), nullptr);
}
