// Finder queries (the input, as UTF-8) over one fixed document.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "error/error.h"
#include "object/manager.h"
#include "object/system.h"
#include "xml/finder.h"

namespace {

Ref<Xml::Document> FixedDocument() {
    Ref<Xml::Document> document = Object::Create<Xml::Document>(Xml::kDocumentClsid);
    auto add = [](const Ref<Xml::ParentNode>& parent, const char16_t* name) {
        return Cast<Xml::Element>(parent->createChild(Xml::kElementKind, name, nullptr), "fuzz");
    };
    document->createChild(Xml::kCommentKind, u"c", nullptr);
    Ref<Xml::Element> config = add(document, u"config");
    Ref<Xml::Element> item = add(config, u"item");
    item->setAttribute(u"name", u"a");
    add(add(item, u"item"), u"sub")->setAttribute(u"x", u"'\"");
    config->createChild(Xml::kTextKind, u"item", nullptr);
    add(add(add(config, u"a"), u"a"), u"b");
    return document;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    static Ref<Xml::Document> document = FixedDocument();
    static Ref<Xml::Finder> finder = Object::Create<Xml::Finder>(Xml::kFinderClsid);
    BaseString query = BaseString::FromUtf8({reinterpret_cast<const char*>(data), size});
    Ref<Xml::ParentNode> contexts[] = {document, document->rootElement()};
    for (const Ref<Xml::ParentNode>& context : contexts) {
        try {
            std::vector<Ref<Xml::Node>> all = finder->findAll(context, query);
            Ref<Xml::Node> first = finder->findFirst(context, query);
            if (all.empty() != !first || (first && !Xml::SameNode(first, all.front()))) {
                __builtin_trap();
            }
        } catch (const Error&) {
        }
    }
    return 0;
}
