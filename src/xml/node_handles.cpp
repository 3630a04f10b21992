#include "xml/node_handles.h"

#include "object/factory.h"
#include "object/manager.h"
#include "xml/finder.h"

namespace Xml {

namespace {

// The Xml::Node operations shared by every handle.
template <class Class, class Face>
class NodeHandle : public Object::Impl<Class, Face, NodeRecord> {
public:
    explicit NodeHandle(DomNode& record) noexcept : record_(&record) {}

    DomNode& record() override { return *record_; }

    int32_t kind() override { return record_->kind(); }
    BaseString value() override {
        // Names are shared strings already; texts are copied out.
        return record_->kind() == kElementKind ? record_->name() : BaseString(record_->value());
    }
    void setValue(const BaseString& text) override {
        if (record_->kind() != kDocumentKind) {
            record_->SetValue(text);
        }
    }
    Ref<ParentNode> parent() override {
        DomNode* parent = record_->parent();
        return parent ? MakeParentHandle(*parent) : nullptr;
    }

protected:
    DomNodeRef record_;
};

// The Xml::ParentNode operations shared by documents and elements.
template <class Class, class Face>
class ParentNodeHandle : public NodeHandle<Class, Face> {
public:
    using NodeHandle<Class, Face>::NodeHandle;

    std::vector<Ref<Node>> children() override {
        std::vector<Ref<Node>> handles;
        for (DomNode* child = this->record_->first_child(); child; child = child->next_sibling()) {
            handles.push_back(MakeHandle(*child));
        }
        return handles;
    }
    void removeChild(const Ref<Node>& child) override {
        if (DomNode* record = RecordOf(child)) {
            this->record_->RemoveChild(record);
        }
    }
    Ref<Node> createChild(int32_t kind, const BaseString& value, const Ref<Node>& before) override {
        return MakeHandle(*this->record_->CreateChild(kind, value, RecordOf(before)));
    }
};

}  // namespace

class DocumentNode final : public ParentNodeHandle<DocumentNode, Document> {
public:
    using ParentNodeHandle::ParentNodeHandle;

    Ref<Element> rootElement() override {
        DomNode* root = record_->RootElement();
        return root ? MakeElementHandle(*root) : nullptr;
    }
};

class ElementNode final : public ParentNodeHandle<ElementNode, Element> {
public:
    using ParentNodeHandle::ParentNodeHandle;

    std::vector<BaseString> attributeNames() override {
        std::vector<BaseString> names;
        names.reserve(record_->attributes().size());
        for (const DomNode::Attribute& attribute : record_->attributes()) {
            names.push_back(attribute.shared_name());
        }
        return names;
    }
    bool hasAttribute(const BaseString& name) override {
        return record_->FindAttribute(name) != nullptr;
    }
    BaseString attribute(const BaseString& name, const BaseString& fallback) override {
        const DomNode::Attribute* found = record_->FindAttribute(name);
        return found ? BaseString(found->value()) : fallback;
    }
    BaseString attribute(const BaseString& name) override { return attribute(name, BaseString()); }
    void setAttribute(const BaseString& name, const BaseString& value) override {
        record_->SetAttribute(name, value);
    }
    int32_t removeAttribute(const BaseString& name) override {
        return record_->RemoveAttribute(name);
    }
    Ref<Element> childElement(const BaseString& name, bool create) override {
        DomNode* child = record_->ChildElement(name);
        if (!child && create) {
            child = record_->CreateChild(kElementKind, name);
        }
        return child ? MakeElementHandle(*child) : nullptr;
    }
    Ref<Node> findFirst(const BaseString& query) override {
        return Object::Create<Finder>(kFinderClsid)->findFirst(Self(), query);
    }
    std::vector<Ref<Node>> findAll(const BaseString& query) override {
        return Object::Create<Finder>(kFinderClsid)->findAll(Self(), query);
    }
    void normalize(NormalizeFlags flags) override { record_->Normalize(flags); }

private:
    Ref<ParentNode> Self() { return Ref<ParentNode>::Share(this); }
};

class LeafNode final : public NodeHandle<LeafNode, Node> {
public:
    using NodeHandle::NodeHandle;
};

Ref<Node> MakeHandle(DomNode& record) {
    switch (record.kind()) {
        case kDocumentKind:
            return Object::New<DocumentNode>(record);
        case kElementKind:
            return Object::New<ElementNode>(record);
        default:
            return Object::New<LeafNode>(record);
    }
}

Ref<ParentNode> MakeParentHandle(DomNode& record) {
    if (record.kind() == kDocumentKind) {
        return Object::New<DocumentNode>(record);
    }
    return Object::New<ElementNode>(record);
}

Ref<Element> MakeElementHandle(DomNode& record) {
    return Object::New<ElementNode>(record);
}

bool SameNode(const Ref<Node>& a, const Ref<Node>& b) {
    DomNode* record_a = RecordOf(a);
    DomNode* record_b = RecordOf(b);
    if (record_a || record_b) {
        return record_a == record_b;
    }
    return a.Identity() == b.Identity();
}

namespace {

// Makes new, empty documents ("CID_Xml::Document").
struct DocumentFactory {
    static void Describe(std::vector<Object::ClassRecord>& records) {
        records.push_back({BaseString(kDocumentClsid), DocumentNode::InterfaceIds()});
    }
    Ref<BaseFace> Create(const BaseString& clsid) {
        if (clsid != kDocumentClsid) {
            return {};
        }
        DomNodeRef document = DomNode::NewDocument();
        return Ref<BaseFace>::Adopt(Object::New<DocumentNode>(*document).Detach()->PrimaryFace());
    }
};

Object::FactoryRegistration registration{Object::New<Object::FactoryImpl<DocumentFactory>>()};

}  // namespace

}  // namespace Xml
