#pragma once

#include <cstdint>

#include "object/identifier.h"
#include "object/module_lock.h"

class BaseFace;

namespace Object {

// The node of a weak reference, linked into its target's weak-link list.
struct WeakLink {
    WeakLink* next = nullptr;
    WeakLink* prev = nullptr;
    BaseFace* target = nullptr;
};

}  // namespace Object

// The root interface of every component. Its six operations come first, in this
// order, in every interface.
class BaseFace {
public:
    static constexpr Iid kIid{u"IID_BaseFace"};

    // Adds one reference; false when the object is being destroyed.
    virtual bool AddRef() noexcept = 0;
    // The object as the asked interface with one reference taken, or null. A null
    // identifier answers the object itself.
    virtual BaseFace* QueryFace(const Iid* iid) noexcept = 0;
    // A value identifying the object (its primary address).
    virtual uint64_t Identity() noexcept = 0;
    virtual void LinkWeak(Object::WeakLink* link) noexcept = 0;
    // Drops one reference. When that destroys the object, the module lock of its
    // code is returned; the caller unlocks it once this call has returned.
    virtual Object::ModuleLock* Release() noexcept = 0;
    virtual void UnlinkWeak(Object::WeakLink* link) noexcept = 0;

protected:
    ~BaseFace() = default;
};

// Release and, when that destroyed the object, give its module lock back.
inline void ReleaseFace(BaseFace* face) noexcept {
    if (face) {
        if (Object::ModuleLock* lock = face->Release()) {
            lock->Unlock();
        }
    }
}
