#include "xml/dom_node.h"

#include <algorithm>

#include "error/error.h"
#include "xml/node.h"

namespace Xml {

namespace {

bool IsParentKind(int32_t kind) {
    return kind == kDocumentKind || kind == kElementKind;
}

template <class Attributes>
auto FindAttributeSlot(Attributes& attributes, std::u16string_view name) {
    return std::lower_bound(
        attributes.begin(), attributes.end(), name,
        [](const DomNode::Attribute& a, std::u16string_view b) { return a.name.view() < b; });
}

}  // namespace

DomNodeRef DomNode::NewDocument() {
    return DomNodeRef::Adopt(New(*new NodeArena(sizeof(DomNode)), kDocumentKind, BaseString()));
}

DomNode* DomNode::New(NodeArena& arena, int32_t kind, BaseString value) {
    return new (arena.Allocate()) DomNode(arena, kind, std::move(value));
}

void DomNode::Delete(DomNode* node) noexcept {
    NodeArena* arena = node->arena_;
    node->~DomNode();
    arena->Free(node);
}

void DomNode::Release() noexcept {
    if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        DestroyTree(this);
    }
}

void DomNode::RequireKind(bool allowed) const {
    if (!allowed) {
        throw Error::Internal("xml-domnode-err", "xml");
    }
}

void DomNode::SetValue(BaseString value) {
    RequireKind(kind_ != kDocumentKind);
    value_ = std::move(value);
}

DomNode* DomNode::CreateChild(int32_t kind, BaseString value, DomNode* before) {
    bool allowed = false;
    if (kind_ == kDocumentKind) {
        allowed = kind == kCommentKind || (kind == kElementKind && element_count_ == 0);
    } else if (kind_ == kElementKind) {
        allowed = kind >= kElementKind && kind <= kCommentKind;
    }
    RequireKind(allowed);

    DomNode* child = New(*arena_, kind, std::move(value));
    child->parent_ = this;
    child->document_ = kind_ == kDocumentKind ? this : document_;
    DomNode* next = before && before->parent_ == this ? before : nullptr;
    DomNode* previous = next ? next->previous_sibling_ : last_child_;
    child->previous_sibling_ = previous;
    child->next_sibling_ = next;
    (previous ? previous->next_sibling_ : first_child_) = child;
    (next ? next->previous_sibling_ : last_child_) = child;
    if (kind == kElementKind) {
        ++element_count_;
        root_element_ = child;
    }
    return child;
}

void DomNode::RemoveChild(DomNode* child) {
    RequireKind(IsParentKind(kind_));
    if (!child || child->parent_ != this) {
        return;
    }
    Unlink(child);
    if (child == root_element_) {
        root_element_ = nullptr;
        if (kind_ == kDocumentKind) {
            --element_count_;
        }
    }
    Detach(child);
    child->Release();
}

void DomNode::Unlink(DomNode* child) noexcept {
    (child->previous_sibling_ ? child->previous_sibling_->next_sibling_ : first_child_) =
        child->next_sibling_;
    (child->next_sibling_ ? child->next_sibling_->previous_sibling_ : last_child_) =
        child->previous_sibling_;
    child->previous_sibling_ = child->next_sibling_ = nullptr;
}

DomNode* DomNode::RootElement() const {
    RequireKind(kind_ == kDocumentKind);
    return root_element_;
}

const BaseString* DomNode::FindAttribute(std::u16string_view name) const {
    RequireKind(kind_ == kElementKind);
    auto at = FindAttributeSlot(attributes_, name);
    return at != attributes_.end() && at->name.view() == name ? &at->value : nullptr;
}

void DomNode::SetAttribute(BaseString name, BaseString value) {
    RequireKind(kind_ == kElementKind);
    // Attributes mostly arrive in order; appending needs no search.
    if (attributes_.empty() || attributes_.back().name < name) {
        attributes_.push_back({std::move(name), std::move(value)});
        return;
    }
    auto at = FindAttributeSlot(attributes_, name.view());
    if (at != attributes_.end() && at->name == name) {
        at->value = std::move(value);
    } else {
        attributes_.insert(at, {std::move(name), std::move(value)});
    }
}

int32_t DomNode::RemoveAttribute(std::u16string_view name) {
    RequireKind(kind_ == kElementKind);
    auto at = FindAttributeSlot(attributes_, name);
    if (at == attributes_.end() || at->name.view() != name) {
        return 0;
    }
    attributes_.erase(at);
    return 1;
}

DomNode* DomNode::ChildElement(std::u16string_view name) const {
    RequireKind(kind_ == kElementKind);
    for (DomNode* child = first_child_; child; child = child->next_sibling_) {
        if (child->kind_ == kElementKind && child->value_.view() == name) {
            return child;
        }
    }
    return nullptr;
}

void DomNode::Normalize(int32_t flags) {
    RequireKind(kind_ == kElementKind);
    std::vector<DomNode*> pending{this};
    while (!pending.empty()) {
        DomNode* node = pending.back();
        pending.pop_back();
        for (DomNode* child = node->first_child_; child;) {
            DomNode* next = child->next_sibling_;
            if (child->kind_ == kElementKind) {
                pending.push_back(child);
            }
            if ((flags & kCdataAsText) && child->kind_ == kCdataKind) {
                child->kind_ = kTextKind;
            }
            DomNode* previous = child->previous_sibling_;
            if ((flags & kMergeTexts) && child->kind_ == kTextKind && previous &&
                previous->kind_ == kTextKind) {
                previous->value_.Append(child->value_);
                node->Unlink(child);
                Detach(child);
                child->Release();
            }
            child = next;
        }
    }
}

void DomNode::Detach(DomNode* node) {
    node->parent_ = nullptr;
    if (!node->document_) {
        return;
    }
    std::vector<DomNode*> pending{node};
    while (!pending.empty()) {
        DomNode* next = pending.back();
        pending.pop_back();
        next->document_ = nullptr;
        for (DomNode* child = next->first_child_; child; child = child->next_sibling_) {
            pending.push_back(child);
        }
    }
}

void DomNode::DestroyTree(DomNode* root) {
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
            child->previous_sibling_ = child->next_sibling_ = nullptr;
            if (child->refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
                dying.push_back(child);
            } else {
                // Held by a handle: it lives on as a detached tree.
                Detach(child);
            }
            child = next;
        }
        Delete(node);
    }
}

}  // namespace Xml
