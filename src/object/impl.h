#pragma once

#include <atomic>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/string.h"
#include "object/base_face.h"
#include "object/ref.h"

namespace Object {

// Weak-link list plumbing shared by every ImplBase (see impl.cpp).
WeakLink* LockWeakList(std::atomic<WeakLink*>& head) noexcept;
void RepointWeakLinksToZombie(std::atomic<WeakLink*>& head) noexcept;

// Walks an interface and its ancestors (each interface names its `Parent`).
// IID_BaseFace itself is answered before the chains are walked.
template <class Face>
BaseFace* FindFaceInChain(Face* face, const Iid& iid) noexcept {
    if constexpr (std::is_same_v<Face, BaseFace>) {
        return nullptr;
    } else {
        if (Face::kIid == iid) {
            return face;
        }
        return FindFaceInChain<typename Face::Parent>(face, iid);
    }
}

template <class Face>
void CollectChainIds(std::vector<BaseString>& ids) {
    if constexpr (!std::is_same_v<Face, BaseFace>) {
        BaseString id(Face::kIid.text);
        for (const BaseString& known : ids) {
            if (known == id) {
                return;
            }
        }
        ids.push_back(id);
        CollectChainIds<typename Face::Parent>(ids);
    }
}

// The six BaseFace operations for a class implementing the given interfaces.
// The object starts with one reference; Release hands the lock of the class's
// module (Class::Module()) back to the caller (see BaseFace::Release).
template <class Class, class... Faces>
class ImplBase : public Faces... {
public:
    bool AddRef() noexcept final {
        uint32_t before = refword_.fetch_add(4, std::memory_order_relaxed);
        return (before & 3) == 0;
    }

    BaseFace* QueryFace(const Iid* iid) noexcept final {
        BaseFace* face = nullptr;
        if (!iid || *iid == BaseFace::kIid) {
            face = PrimaryFace();
        } else {
            Class* self = static_cast<Class*>(this);
            ((face = face ? face : FindFaceInChain<Faces>(static_cast<Faces*>(self), *iid)), ...);
        }
        if (face && !AddRef()) {
            return nullptr;
        }
        return face;
    }

    uint64_t Identity() noexcept final {
        return reinterpret_cast<uintptr_t>(static_cast<Class*>(this));
    }

    void LinkWeak(WeakLink* link) noexcept final {
        WeakLink* head = LockWeakList(weak_head_);
        link->prev = nullptr;
        link->next = head;
        if (head) {
            head->prev = link;
        }
        weak_head_.store(link, std::memory_order_release);
    }

    ModuleLock* Release() noexcept final {
        // The last reference turns the word from 4 straight into 1 (count 0,
        // destroying) in one step, so no AddRef can slip in between.
        uint32_t word = refword_.load(std::memory_order_relaxed);
        for (;;) {
            uint32_t next = word == 4 ? 1 : word - 4;
            if (refword_.compare_exchange_weak(word, next, std::memory_order_acq_rel)) {
                break;
            }
        }
        if (word != 4) {
            return nullptr;
        }
        RepointWeakLinksToZombie(weak_head_);
        delete static_cast<Class*>(this);
        return &Class::Module();
    }

    void UnlinkWeak(WeakLink* link) noexcept final {
        WeakLink* head = LockWeakList(weak_head_);
        if (link->next) {
            link->next->prev = link->prev;
        }
        if (link->prev) {
            link->prev->next = link->next;
        } else {
            head = link->next;
        }
        link->next = link->prev = nullptr;
        weak_head_.store(head, std::memory_order_release);
    }

    BaseFace* PrimaryFace() noexcept {
        using First = std::tuple_element_t<0, std::tuple<Faces...>>;
        return static_cast<First*>(static_cast<Class*>(this));
    }

    // The interface identifiers of the class, IID_BaseFace included (class records).
    static std::vector<BaseString> InterfaceIds() {
        std::vector<BaseString> ids;
        (CollectChainIds<Faces>(ids), ...);
        ids.push_back(BaseString(BaseFace::kIid.text));
        return ids;
    }

protected:
    ImplBase() noexcept = default;
    ~ImplBase() = default;

    // Set from the moment Release decided to destroy the object.
    bool IsDying() const noexcept { return refword_.load(std::memory_order_acquire) & 1; }

private:
    std::atomic<uint32_t> refword_{4};
    std::atomic<WeakLink*> weak_head_{nullptr};
};

// A component class of this module:
//   class ReaderImpl final : public Object::Impl<ReaderImpl, Xml::Reader> { ... };
// It holds a lock of this module from construction until Release destroys it.
template <class Class, class... Faces>
class Impl : public ImplBase<Class, Faces...> {
public:
    static ModuleLock& Module() noexcept { return ThisModule(); }

protected:
    Impl() noexcept { Module().Lock(); }
    ~Impl() {
        // Release gives the lock back to its caller; an object whose constructor
        // threw never reaches Release, so its lock is returned here.
        if (!this->IsDying()) {
            Module().Unlock();
        }
    }
};

// Heap construction with the first reference taken.
template <class Class, class... Args>
Ref<Class> New(Args&&... args) {
    return Ref<Class>::Adopt(new Class(std::forward<Args>(args)...));
}

}  // namespace Object
