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
    return DomNodeRef::Adopt(new DomNode(kDocumentKind, BaseString()));
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

DomNode* DomNode::CreateChild(int32_t kind, BaseString value, const DomNode* before) {
    bool allowed = false;
    if (kind_ == kDocumentKind) {
        allowed = kind == kCommentKind || (kind == kElementKind && element_count_ == 0);
    } else if (kind_ == kElementKind) {
        allowed = kind >= kElementKind && kind <= kCommentKind;
    }
    RequireKind(allowed);

    auto* child = new DomNode(kind, std::move(value));
    child->parent_ = this;
    child->document_ = kind_ == kDocumentKind ? this : document_;
    auto at = before ? std::find(children_.begin(), children_.end(), before) : children_.end();
    try {
        children_.insert(at, child);
    } catch (...) {
        delete child;
        throw;
    }
    if (kind == kElementKind) {
        ++element_count_;
        root_element_ = child;
    }
    return child;
}

void DomNode::RemoveChild(const DomNode* child) {
    RequireKind(IsParentKind(kind_));
    auto at = std::find(children_.begin(), children_.end(), child);
    if (at == children_.end()) {
        return;
    }
    DomNode* removed = *at;
    children_.erase(at);
    if (removed == root_element_) {
        root_element_ = nullptr;
        if (kind_ == kDocumentKind) {
            --element_count_;
        }
    }
    Detach(removed);
    removed->Release();
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
    for (DomNode* child : children_) {
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
        std::vector<DomNode*>& children = node->children_;
        size_t kept = 0;
        for (size_t i = 0; i < children.size(); ++i) {
            DomNode* child = children[i];
            if (child->kind_ == kElementKind) {
                pending.push_back(child);
            }
            if ((flags & kCdataAsText) && child->kind_ == kCdataKind) {
                child->kind_ = kTextKind;
            }
            if (!(flags & kMergeTexts)) {
                continue;
            }
            DomNode* previous = kept > 0 ? children[kept - 1] : nullptr;
            if (child->kind_ == kTextKind && previous && previous->kind_ == kTextKind) {
                previous->value_.Append(child->value_);
                Detach(child);
                child->Release();
            } else {
                children[kept++] = child;
            }
        }
        if (flags & kMergeTexts) {
            children.resize(kept);
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
        pending.insert(pending.end(), next->children_.begin(), next->children_.end());
    }
}

void DomNode::DestroyTree(DomNode* root) {
    if (root->children_.empty()) {
        delete root;
        return;
    }
    std::vector<DomNode*> dying{root};
    while (!dying.empty()) {
        DomNode* node = dying.back();
        dying.pop_back();
        for (DomNode* child : node->children_) {
            if (child->refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
                dying.push_back(child);
            } else {
                // Held by a handle: it lives on as a detached tree.
                Detach(child);
            }
        }
        delete node;
    }
}

}  // namespace Xml
