#pragma once

#include <concepts>
#include <cstddef>
#include <string_view>
#include <utility>

#include "error/error.h"
#include "object/base_face.h"

namespace Object {
// The BaseFace of an interface pointer; for a class with several interfaces,
// the one of its first.
template <class T>
BaseFace* AsBaseFace(T* pointer) noexcept {
    if constexpr (requires { pointer->PrimaryFace(); }) {
        return pointer ? pointer->PrimaryFace() : nullptr;
    } else {
        return pointer;
    }
}
}  // namespace Object

// A strong reference: AddRef when copied, Release (and the returned module
// unlock) when dropped.
template <class T>
class Ref {
public:
    Ref() noexcept = default;
    Ref(std::nullptr_t) noexcept {}
    Ref(const Ref& other) noexcept : ptr_(other.ptr_) { AddRefOrDrop(); }
    template <class U>
    requires std::convertible_to<U*, T*> Ref(const Ref<U>& other)
    noexcept : ptr_(other.get()) { AddRefOrDrop(); }
    Ref(Ref&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    template <class U>
    requires std::convertible_to<U*, T*> Ref(Ref<U>&& other)
    noexcept : ptr_(other.Detach()) {}
    ~Ref() { ReleaseFace(Base(ptr_)); }

    Ref& operator=(Ref other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }

    // Takes over a pointer that already carries one reference.
    static Ref Adopt(T* pointer) noexcept {
        Ref ref;
        ref.ptr_ = pointer;
        return ref;
    }
    // Adds a reference to a raw pointer; empty if the object is dying.
    static Ref Share(T* pointer) noexcept {
        Ref ref;
        ref.ptr_ = pointer;
        ref.AddRefOrDrop();
        return ref;
    }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    T& operator*() const noexcept { return *ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }
    T* Detach() noexcept { return std::exchange(ptr_, nullptr); }
    void Reset() noexcept { Ref().swap(*this); }
    void swap(Ref& other) noexcept { std::swap(ptr_, other.ptr_); }

    uint64_t Identity() const noexcept { return ptr_ ? Base(ptr_)->Identity() : 0; }

private:
    static BaseFace* Base(T* pointer) noexcept { return Object::AsBaseFace(pointer); }
    void AddRefOrDrop() noexcept {
        if (ptr_ && !Base(ptr_)->AddRef()) {
            ptr_ = nullptr;
        }
    }

    T* ptr_ = nullptr;
};

// An interface whose objects are not what its users compare (an XML node has
// many handles) declares `static constexpr bool kEqualByValue = true;` and its
// own operator== for references; for all others, references are equal when
// they name the same object.
template <class T>
concept EqualByValue = requires {
    requires T::kEqualByValue;
};

template <class T, class U>
requires(!EqualByValue<T> && !EqualByValue<U>) bool operator==(const Ref<T>& a,
                                                               const Ref<U>& b) noexcept {
    return a.Identity() == b.Identity();
}

// The interface asked of an object, or an empty reference when it has none.
template <class T, class U>
Ref<T> SoftCast(const Ref<U>& from) noexcept {
    if (!from) {
        return {};
    }
    BaseFace* face = Object::AsBaseFace(from.get())->QueryFace(&T::kIid);
    return Ref<T>::Adopt(static_cast<T*>(face));
}

// The interface asked of an object; an object without it is an internal error
// "Cast<%s>" under the calling module's tag. An empty reference stays empty.
template <class T, class U>
Ref<T> Cast(Ref<U> from, std::string_view module) {
    if (!from) {
        return {};
    }
    Ref<T> result = SoftCast<T>(from);
    if (!result) {
        throw Error::Internal("Cast<%s>", module, T::kIid.text);
    }
    return result;
}

namespace Object {

// Serialises weak-reference traffic against the re-pointing of weak references
// when their target dies (see ImplBase::Release).
void LockWeakReferences() noexcept;
void UnlockWeakReferences() noexcept;

// The base of every weak reference: a node linked into the target's list.
class WeakLinkNode {
public:
    WeakLinkNode() noexcept = default;
    WeakLinkNode(const WeakLinkNode&) = delete;
    WeakLinkNode& operator=(const WeakLinkNode&) = delete;
    ~WeakLinkNode() { Unlink(); }

protected:
    void Link(BaseFace* target) noexcept;
    void Unlink() noexcept;
    // Tries to add a reference to the current target; false when it is gone.
    bool TryAddRef(BaseFace* expected) noexcept;

private:
    WeakLink link_;
};

}  // namespace Object

// A weak reference: names an object without keeping it alive. When the object
// dies, the reference is re-pointed at the Zombie and yields nothing.
template <class T>
class WeakRef : private Object::WeakLinkNode {
public:
    WeakRef() noexcept = default;
    explicit WeakRef(const Ref<T>& target) noexcept { Set(target); }
    WeakRef(const WeakRef& other) noexcept { Set(other.Lock()); }
    WeakRef& operator=(const WeakRef& other) noexcept {
        if (this != &other) {
            Set(other.Lock());
        }
        return *this;
    }

    void Set(const Ref<T>& target) noexcept {
        Unlink();
        typed_ = target.get();
        base_ = Object::AsBaseFace(typed_);
        if (base_) {
            Link(base_);
        }
    }
    void Reset() noexcept {
        Unlink();
        typed_ = nullptr;
        base_ = nullptr;
    }
    // A strong reference to the target, empty when it has died.
    Ref<T> Lock() const noexcept {
        auto* self = const_cast<WeakRef*>(this);
        if (base_ && self->TryAddRef(base_)) {
            return Ref<T>::Adopt(typed_);
        }
        return {};
    }
    bool IsEmpty() const noexcept { return typed_ == nullptr; }

private:
    T* typed_ = nullptr;
    // Found while the target lives: finding it may need the target itself.
    BaseFace* base_ = nullptr;
};
