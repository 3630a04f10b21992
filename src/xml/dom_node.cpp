#include "xml/dom_node.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "base/memory.h"
#include "error/error.h"
#include "xml/node.h"

namespace Xml {

namespace {

bool IsParentKind(int32_t kind) {
    return kind == kDocumentKind || kind == kElementKind;
}

// A heap copy of text, wiped when freed; null for no text.
const char16_t* CopyToHeap(std::u16string_view text) {
    if (text.empty()) {
        return nullptr;
    }
    auto* copy = static_cast<char16_t*>(Base::AllocateStorage(text.size() * sizeof(char16_t)));
    std::memcpy(copy, text.data(), text.size() * sizeof(char16_t));
    return copy;
}

void FreeHeapText(std::u16string_view text) noexcept {
    if (!text.empty()) {
        Base::FreeStorage(const_cast<char16_t*>(text.data()), text.size() * sizeof(char16_t));
    }
}

template <class Attributes>
auto FindAttributeSlot(Attributes& attributes, std::u16string_view name) {
    return std::lower_bound(
        attributes.begin(), attributes.end(), name,
        [](const DomNode::Attribute& a, std::u16string_view b) { return a.name() < b; });
}

}  // namespace

DomNodeRef DomNode::NewDocument() {
    auto* arena = new NodeArena(sizeof(DomNode));
    DomNodeRef document;
    document.node_ = new (arena->Allocate()) DomNode(*arena, kDocumentKind);
    // The record's first reference is the one returned.
    arena->Pin();
    return document;
}

DomNode::~DomNode() {
    if (flags_ != 0) {
        FreeValue();
        FreeAttributes();
        arena_->RemoveOwner();
    }
}

DomNode* DomNode::New(NodeArena& arena, int32_t kind, std::u16string_view value) {
    DomNode* node = new (arena.Allocate()) DomNode(arena, kind);
    try {
        node->SetValue(value);
    } catch (...) {
        Delete(node);
        throw;
    }
    return node;
}

void DomNode::Delete(DomNode* node) noexcept {
    NodeArena* arena = node->arena_;
    node->~DomNode();
    arena->Free(node);
}

void DomNode::ReleaseOutside(DomNode* node) noexcept {
    // The caller's pin keeps the arena until the end, whatever other threads
    // release meanwhile.
    NodeArena& arena = *node->arena_;
    if (node->refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        // With no other reference left from outside, every record still alive
        // belongs to this tree, which dies now: when none of them owns
        // memory, the arena goes at once.
        if (arena.PinnedByCallerOnly() && !arena.HasOwners()) {
            arena.DropAll();
            return;
        }
        DestroyTree(node);
    }
    arena.Unpin();
}

void DomNode::ReleaseFromTree(DomNode* node) noexcept {
    if (node->refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        DestroyTree(node);
    }
}

DomNode* DomNode::document() const noexcept {
    if (!parent_) {
        return nullptr;
    }
    const DomNode* top = parent_;
    while (top->parent_) {
        top = top->parent_;
    }
    return top->kind_ == kDocument ? const_cast<DomNode*>(top) : nullptr;
}

void DomNode::RequireKind(bool allowed) const {
    if (!allowed) {
        throw Error::Internal("xml-domnode-err", "xml");
    }
}

void DomNode::SetFlags(uint8_t flags) noexcept {
    if ((flags_ != 0) != (flags != 0)) {
        if (flags != 0) {
            arena_->AddOwner();
        } else {
            arena_->RemoveOwner();
        }
    }
    flags_ = flags;
}

void DomNode::FreeValue() noexcept {
    if (!(flags_ & kOwnsValue)) {
        return;
    }
    if (kind_ == kElement) {
        delete name_;
    } else {
        FreeHeapText(value());
    }
}

void DomNode::SetValue(std::u16string_view value) {
    RequireKind(kind_ != kDocument);
    if (kind_ == kElement) {
        auto* name = new BaseString(value);
        FreeValue();
        name_ = name;
        SetFlags(flags_ | kOwnsValue);
        return;
    }
    const char16_t* copy = CopyToHeap(value);
    FreeValue();
    text_ = copy;
    text_length_ = static_cast<uint32_t>(value.size());
    SetFlags(copy ? flags_ | kOwnsValue : flags_ & ~kOwnsValue);
}

DomNode* DomNode::CreateChild(int32_t kind, std::u16string_view value, DomNode* before) {
    bool allowed = false;
    if (kind_ == kDocument) {
        allowed = kind == kCommentKind || (kind == kElementKind && !root_element_);
    } else if (kind_ == kElement) {
        allowed = kind >= kElementKind && kind <= kCommentKind;
    }
    RequireKind(allowed);

    DomNode* child = New(*arena_, kind, value);
    Link(child, before && before->parent_ == this ? before : nullptr);
    if (kind_ == kDocument && kind == kElementKind) {
        root_element_ = child;
    }
    return child;
}

void DomNode::Link(DomNode* child, DomNode* next) noexcept {
    child->parent_ = this;
    DomNode* previous = next ? next->previous_sibling_ : last_child_;
    child->previous_sibling_ = previous;
    child->next_sibling_ = next;
    (previous ? previous->next_sibling_ : first_child_) = child;
    (next ? next->previous_sibling_ : last_child_) = child;
}

void DomNode::RemoveChild(DomNode* child) {
    RequireKind(IsParentKind(kind_));
    if (!child || child->parent_ != this) {
        return;
    }
    Unlink(child);
    if (kind_ == kDocument && child == root_element_) {
        root_element_ = nullptr;
    }
    child->parent_ = nullptr;
    ReleaseFromTree(child);
}

void DomNode::Unlink(DomNode* child) noexcept {
    (child->previous_sibling_ ? child->previous_sibling_->next_sibling_ : first_child_) =
        child->next_sibling_;
    (child->next_sibling_ ? child->next_sibling_->previous_sibling_ : last_child_) =
        child->previous_sibling_;
    child->previous_sibling_ = child->next_sibling_ = nullptr;
}

DomNode* DomNode::RootElement() const {
    RequireKind(kind_ == kDocument);
    return root_element_;
}

const DomNode::Attribute* DomNode::FindAttribute(std::u16string_view name) const {
    RequireKind(kind_ == kElement);
    std::span<const Attribute> all = attributes();
    auto at = FindAttributeSlot(all, name);
    return at != all.end() && at->name() == name ? &*at : nullptr;
}

void DomNode::OwnAttributes() {
    if (flags_ & kOwnsAttributes) {
        return;
    }
    auto* owned = static_cast<Attribute*>(::operator new(attribute_count_ * sizeof(Attribute)));
    uint32_t copied = 0;
    try {
        for (; copied < attribute_count_; ++copied) {
            const Attribute& from = attributes_[copied];
            auto* name = new BaseString(*from.name_);
            try {
                owned[copied] = Attribute(name, {CopyToHeap(from.value()), from.value_length_});
            } catch (...) {
                delete name;
                throw;
            }
        }
    } catch (...) {
        for (uint32_t i = 0; i < copied; ++i) {
            delete owned[i].name_;
            FreeHeapText(owned[i].value());
        }
        ::operator delete(owned);
        throw;
    }
    attributes_ = owned;
    SetFlags(flags_ | kOwnsAttributes);
}

void DomNode::FreeAttributes() noexcept {
    if (!(flags_ & kOwnsAttributes)) {
        return;
    }
    for (const Attribute& attribute : attributes()) {
        delete attribute.name_;
        FreeHeapText(attribute.value());
    }
    ::operator delete(attributes_);
}

void DomNode::SetAttribute(std::u16string_view name, std::u16string_view value) {
    RequireKind(kind_ == kElement);
    OwnAttributes();
    std::span<Attribute> all(attributes_, attribute_count_);
    auto at = FindAttributeSlot(all, name);
    if (at != all.end() && at->name() == name) {
        const char16_t* copy = CopyToHeap(value);
        FreeHeapText(at->value());
        at->value_ = copy;
        at->value_length_ = static_cast<uint32_t>(value.size());
        return;
    }
    size_t index = static_cast<size_t>(at - all.begin());
    auto* grown =
        static_cast<Attribute*>(::operator new((attribute_count_ + 1) * sizeof(Attribute)));
    BaseString* name_copy = nullptr;
    const char16_t* value_copy = nullptr;
    try {
        name_copy = new BaseString(name);
        value_copy = CopyToHeap(value);
    } catch (...) {
        delete name_copy;
        ::operator delete(grown);
        throw;
    }
    std::copy(all.begin(), at, grown);
    grown[index] = Attribute(name_copy, {value_copy, value.size()});
    std::copy(at, all.end(), grown + index + 1);
    ::operator delete(attributes_);
    attributes_ = grown;
    ++attribute_count_;
}

int32_t DomNode::RemoveAttribute(std::u16string_view name) {
    RequireKind(kind_ == kElement);
    if (!FindAttribute(name)) {
        return 0;
    }
    OwnAttributes();
    std::span<Attribute> all(attributes_, attribute_count_);
    auto at = FindAttributeSlot(all, name);
    delete at->name_;
    FreeHeapText(at->value());
    std::copy(at + 1, all.end(), at);
    --attribute_count_;
    return 1;
}

DomNode* DomNode::ChildElement(std::u16string_view name) const {
    RequireKind(kind_ == kElement);
    for (DomNode* child = first_child_; child; child = child->next_sibling_) {
        if (child->kind_ == kElement && child->value() == name) {
            return child;
        }
    }
    return nullptr;
}

void DomNode::Normalize(NormalizeFlags flags) {
    RequireKind(kind_ == kElement);
    auto is_text = [flags](DomNode* node) {
        if (Base::HasFlags(flags, NormalizeFlags::kCdataAsText) && node->kind_ == kCdataKind) {
            node->kind_ = kTextKind;
        }
        return node->kind_ == kTextKind;
    };
    std::vector<DomNode*> pending{this};
    while (!pending.empty()) {
        DomNode* node = pending.back();
        pending.pop_back();
        for (DomNode* child = node->first_child_; child; child = child->next_sibling_) {
            if (child->kind_ == kElementKind) {
                pending.push_back(child);
            }
            if (!is_text(child) || !Base::HasFlags(flags, NormalizeFlags::kMergeTexts)) {
                continue;
            }
            // A run of texts is joined into its first one in one go.
            DomNode* end = child->next_sibling_;
            size_t length = child->text_length_;
            for (; end && is_text(end); end = end->next_sibling_) {
                length += end->text_length_;
            }
            if (end == child->next_sibling_) {
                continue;
            }
            auto* joined = static_cast<char16_t*>(
                length ? Base::AllocateStorage(length * sizeof(char16_t)) : nullptr);
            char16_t* out = std::copy(child->value().begin(), child->value().end(), joined);
            while (child->next_sibling_ != end) {
                DomNode* merged = child->next_sibling_;
                out = std::copy(merged->value().begin(), merged->value().end(), out);
                node->Unlink(merged);
                merged->parent_ = nullptr;
                ReleaseFromTree(merged);
            }
            child->FreeValue();
            child->text_ = joined;
            child->text_length_ = static_cast<uint32_t>(length);
            child->SetFlags(joined ? child->flags_ | kOwnsValue : child->flags_ & ~kOwnsValue);
        }
    }
}

void DomNode::DestroyTree(DomNode* root) noexcept {
    if (!root->first_child_) {
        Delete(root);
        return;
    }
    std::vector<DomNode*> dying{root};
    while (!dying.empty()) {
        DomNode* node = dying.back();
        dying.pop_back();
        for (DomNode* child = node->first_child_; child;) {
            DomNode* next = child->next_sibling_;
            // Detached before the tree's reference goes: once it has gone, a
            // handle let go on another thread may free the child at any moment.
            child->previous_sibling_ = child->next_sibling_ = nullptr;
            child->parent_ = nullptr;
            if (child->refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
                dying.push_back(child);
            }
            child = next;
        }
        Delete(node);
    }
}

}  // namespace Xml
