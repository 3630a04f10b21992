#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "base/string.h"
#include "xml/node_arena.h"

namespace Xml {

class DomNode;

// A counted reference to a node record.
class DomNodeRef {
public:
    DomNodeRef() noexcept = default;
    explicit DomNodeRef(DomNode* node) noexcept;
    DomNodeRef(const DomNodeRef& other) noexcept : DomNodeRef(other.node_) {}
    DomNodeRef(DomNodeRef&& other) noexcept : node_(std::exchange(other.node_, nullptr)) {}
    DomNodeRef& operator=(DomNodeRef other) noexcept {
        std::swap(node_, other.node_);
        return *this;
    }
    ~DomNodeRef();

    // Takes over a record that already carries one reference.
    static DomNodeRef Adopt(DomNode* node) noexcept {
        DomNodeRef ref;
        ref.node_ = node;
        return ref;
    }

    DomNode* get() const noexcept { return node_; }
    DomNode* operator->() const noexcept { return node_; }
    DomNode& operator*() const noexcept { return *node_; }
    explicit operator bool() const noexcept { return node_ != nullptr; }

private:
    DomNode* node_ = nullptr;
};

// The record behind every node handle: kind, value, links, children and
// attributes. A record lives while its parent's child list or a reference holds
// it; parent and document links hold nothing, and a record that dies clears the
// links that point at it, so a link that is set always names a live record.
// The records of one tree share a NodeArena.
//
// The operations check the record's kind and throw "xml-domnode-err" where it
// does not fit: attributes and child lookup on elements only, child list changes
// on documents and elements only, the root element on the document only, value
// changes not on the document.
class DomNode {
public:
    struct Attribute {
        BaseString name;
        BaseString value;
    };

    DomNode(const DomNode&) = delete;
    DomNode& operator=(const DomNode&) = delete;

    // A new, empty document record, with a new arena for its tree.
    static DomNodeRef NewDocument();

    void AddRef() noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
    void Release() noexcept;

    int32_t kind() const noexcept { return kind_; }
    const BaseString& value() const noexcept { return value_; }
    DomNode* parent() const noexcept { return parent_; }
    // The document of the tree; null for the document itself and for detached trees.
    DomNode* document() const noexcept { return document_; }
    // The children in order: first_child, then each one's next_sibling.
    DomNode* first_child() const noexcept { return first_child_; }
    DomNode* last_child() const noexcept { return last_child_; }
    DomNode* next_sibling() const noexcept { return next_sibling_; }
    // In ordinal order of the names.
    const std::vector<Attribute>& attributes() const noexcept { return attributes_; }

    void SetValue(BaseString value);

    // A new child of that kind and value before `before` (at the end when
    // `before` is null or not a child). The document takes comments and one
    // element, an element kinds 1 to 4, a leaf nothing.
    DomNode* CreateChild(int32_t kind, BaseString value, DomNode* before = nullptr);
    // Detaches the child; anything else is ignored.
    void RemoveChild(DomNode* child);
    DomNode* RootElement() const;

    // The value of the attribute, null when it is absent.
    const BaseString* FindAttribute(std::u16string_view name) const;
    void SetAttribute(BaseString name, BaseString value);
    // Makes room for that many attributes, so that setting them allocates once.
    void ReserveAttributes(size_t count) { attributes_.reserve(count); }
    int32_t RemoveAttribute(std::u16string_view name);
    // The first child element of that name, or null.
    DomNode* ChildElement(std::u16string_view name) const;
    // Over the whole subtree: kCdataAsText turns CDATA sections into text, then
    // kMergeTexts appends each text child to a text child just before it.
    void Normalize(int32_t flags);

private:
    DomNode(NodeArena& arena, int32_t kind, BaseString value) noexcept
        : kind_(kind), value_(std::move(value)), arena_(&arena) {}
    ~DomNode() = default;

    // A new record in the arena of this tree.
    static DomNode* New(NodeArena& arena, int32_t kind, BaseString value);
    static void Delete(DomNode* node) noexcept;

    void RequireKind(bool allowed) const;
    void Unlink(DomNode* child) noexcept;
    // Unlinks a node that left its tree: its own parent link and the document
    // links of its whole subtree.
    static void Detach(DomNode* node);
    // Destroys a record whose last reference went, and each descendant that
    // nothing else holds, without recursion (trees may be very deep).
    static void DestroyTree(DomNode* root);

    std::atomic<uint32_t> refs_{1};
    int32_t kind_;
    BaseString value_;
    DomNode* parent_ = nullptr;
    DomNode* document_ = nullptr;
    // The document's root element; other parents keep their last created element
    // here. Holds no reference and is cleared when that child is removed.
    DomNode* root_element_ = nullptr;
    uint32_t element_count_ = 0;
    // The child list; each child in it holds one reference.
    DomNode* first_child_ = nullptr;
    DomNode* last_child_ = nullptr;
    DomNode* previous_sibling_ = nullptr;
    DomNode* next_sibling_ = nullptr;
    std::vector<Attribute> attributes_;
    NodeArena* arena_;  // where this record lives; shared by the whole tree
};

inline DomNodeRef::DomNodeRef(DomNode* node) noexcept : node_(node) {
    if (node_) {
        node_->AddRef();
    }
}

inline DomNodeRef::~DomNodeRef() {
    if (node_) {
        node_->Release();
    }
}

}  // namespace Xml
