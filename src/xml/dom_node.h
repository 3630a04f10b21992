#pragma once

#include <atomic>
#include <cstdint>
#include <new>
#include <span>
#include <string_view>
#include <utility>

#include "base/string.h"
#include "xml/node.h"
#include "xml/node_arena.h"

namespace Xml {

class DomNode;

// A counted reference to a node record from outside its tree (a handle's).
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

    DomNode* get() const noexcept { return node_; }
    DomNode* operator->() const noexcept { return node_; }
    DomNode& operator*() const noexcept { return *node_; }
    explicit operator bool() const noexcept { return node_ != nullptr; }

private:
    friend class DomNode;
    DomNode* node_ = nullptr;
};

// The record behind every node handle: kind, value, links, children and
// attributes. A record lives while its parent's child list or a reference holds
// it; parent links hold nothing, and a record that dies detaches the children
// that others still hold, so a link that is set always names a live record.
// The records of one tree share a NodeArena.
//
// Names (of elements and attributes) are shared strings: the reader stores each
// name once in the arena. Texts (of leaves, attribute values) are spans: the
// reader leaves them in the text it read, or in the arena when it had to put
// them together. Names and texts given later through the operations below are
// copied to the heap, owned by the record and wiped when they go.
//
// The operations check the record's kind and throw "xml-domnode-err" where it
// does not fit: attributes and child lookup on elements only, child list changes
// on documents and elements only, the root element on the document only, value
// changes not on the document.
class DomNode {
public:
    class Attribute {
    public:
        Attribute(const BaseString* name, std::u16string_view value) noexcept
            : name_(name),
              value_(value.data()),
              value_length_(static_cast<uint32_t>(value.size())) {}

        // The name, shared by every use of it in the tree.
        const BaseString& shared_name() const noexcept { return *name_; }
        std::u16string_view name() const noexcept { return name_->view(); }
        std::u16string_view value() const noexcept { return {value_, value_length_}; }

    private:
        friend class DomNode;
        const BaseString* name_;
        const char16_t* value_;
        uint32_t value_length_;
    };

    DomNode(const DomNode&) = delete;
    DomNode& operator=(const DomNode&) = delete;

    // A new, empty document record, with a new arena for its tree.
    static DomNodeRef NewDocument();

    int32_t kind() const noexcept { return kind_; }
    std::u16string_view value() const noexcept {
        return kind_ == kElement ? name_->view() : std::u16string_view(text_, text_length_);
    }
    // An element's name, shared by every use of it in the tree.
    const BaseString& name() const noexcept { return *name_; }
    DomNode* parent() const noexcept { return parent_; }
    // The document of the tree; null for the document itself and for detached trees.
    DomNode* document() const noexcept;
    // The children in order: first_child, then each one's next_sibling.
    DomNode* first_child() const noexcept { return first_child_; }
    DomNode* last_child() const noexcept { return last_child_; }
    DomNode* next_sibling() const noexcept { return next_sibling_; }
    // In ordinal order of the names.
    std::span<const Attribute> attributes() const noexcept {
        return kind_ == kElement ? std::span<const Attribute>(attributes_, attribute_count_)
                                 : std::span<const Attribute>();
    }

    void SetValue(std::u16string_view value);

    // A new child of that kind and value before `before` (at the end when
    // `before` is null or not a child). The document takes comments and one
    // element, an element kinds 1 to 4, a leaf nothing.
    DomNode* CreateChild(int32_t kind, std::u16string_view value, DomNode* before = nullptr);
    // Detaches the child; anything else is ignored.
    void RemoveChild(DomNode* child);
    DomNode* RootElement() const;

    // The attribute of that name, null when it is absent.
    const Attribute* FindAttribute(std::u16string_view name) const;
    void SetAttribute(std::u16string_view name, std::u16string_view value);
    int32_t RemoveAttribute(std::u16string_view name);
    // The first child element of that name, or null.
    DomNode* ChildElement(std::u16string_view name) const;
    // Over the whole subtree: kCdataAsText turns CDATA sections into text, then
    // kMergeTexts appends each text child to a text child just before it.
    void Normalize(NormalizeFlags flags);

    // ---- Building, for the reader, which keeps to the rules itself: no
    // checks, and texts stay where they lie, in the tree's arena or in text
    // the arena keeps.

    NodeArena& arena() const noexcept { return *arena_; }
    // A new last element, or a new last leaf of that text; inline, as they run
    // once for every node the reader makes.
    DomNode* AppendParsedElement(const BaseString* name) {
        DomNode* child = AppendParsed(kElementKind);
        child->name_ = name;
        if (kind_ == kDocument) {
            root_element_ = child;
        }
        return child;
    }
    DomNode* AppendParsedLeaf(int32_t kind, std::u16string_view text) {
        DomNode* child = AppendParsed(kind);
        child->text_ = text.data();
        child->text_length_ = static_cast<uint32_t>(text.size());
        return child;
    }
    // The attributes of a new element: `count` of them, in name order without
    // repeats, in storage of the arena.
    void SetParsedAttributes(Attribute* attributes, uint32_t count) noexcept {
        attributes_ = attributes;
        attribute_count_ = count;
    }

private:
    friend class DomNodeRef;

    enum : uint8_t { kDocument = 0, kElement = 1 };
    // What the record owns on the heap.
    enum : uint8_t { kOwnsValue = 1, kOwnsAttributes = 2 };

    DomNode(NodeArena& arena, int32_t kind) noexcept
        : kind_(static_cast<uint8_t>(kind)), text_(nullptr), attributes_(nullptr), arena_(&arena) {}
    ~DomNode();

    // A new record in the arena of this tree.
    static DomNode* New(NodeArena& arena, int32_t kind, std::u16string_view value);
    static void Delete(DomNode* node) noexcept;

    void AddRef() noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
    // Drops a reference from outside the tree (DomNodeRef).
    static void ReleaseOutside(DomNode* node) noexcept;
    // Drops the reference of the child list that held the node.
    static void ReleaseFromTree(DomNode* node) noexcept;

    void RequireKind(bool allowed) const;
    void SetFlags(uint8_t flags) noexcept;
    void FreeValue() noexcept;
    // Gives the attributes heap storage of their own, before they change.
    void OwnAttributes();
    void FreeAttributes() noexcept;
    void Link(DomNode* child, DomNode* next) noexcept;
    // Link's work for a new last child, while the reader builds the tree.
    DomNode* AppendParsed(int32_t kind) {
        DomNode* child = new (arena_->AllocateWhileBuilding()) DomNode(*arena_, kind);
        child->parent_ = this;
        child->previous_sibling_ = last_child_;
        (last_child_ ? last_child_->next_sibling_ : first_child_) = child;
        last_child_ = child;
        return child;
    }
    void Unlink(DomNode* child) noexcept;
    // Destroys a record whose last reference went, and each descendant that
    // nothing else holds, without recursion (trees may be very deep).
    static void DestroyTree(DomNode* root) noexcept;

    std::atomic<uint32_t> refs_{1};
    uint8_t kind_;
    uint8_t flags_ = 0;
    uint32_t text_length_ = 0;
    uint32_t attribute_count_ = 0;
    union {
        const char16_t* text_;    // a leaf's
        const BaseString* name_;  // an element's
    };
    DomNode* parent_ = nullptr;
    // The child list; each child in it holds one reference.
    DomNode* first_child_ = nullptr;
    DomNode* last_child_ = nullptr;
    DomNode* previous_sibling_ = nullptr;
    DomNode* next_sibling_ = nullptr;
    union {
        Attribute* attributes_;  // an element's, in name order
        DomNode* root_element_;  // the document's; cleared when it is removed
    };
    NodeArena* arena_;  // where this record lives; shared by the whole tree
};

inline DomNodeRef::DomNodeRef(DomNode* node) noexcept : node_(node) {
    if (node_) {
        node_->arena_->Pin();
        node_->AddRef();
    }
}

inline DomNodeRef::~DomNodeRef() {
    if (node_) {
        DomNode::ReleaseOutside(node_);
    }
}

}  // namespace Xml
