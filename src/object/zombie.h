#pragma once

#include "object/base_face.h"

namespace Object {

// The stand-in target of weak references whose object has died: AddRef always
// fails, QueryFace answers nothing. One process-wide instance, created on first
// need; it counts its links (plus one for the global holder) and frees itself
// when the count reaches zero, holding a lock of this module while it exists.
class Zombie final : public BaseFace {
public:
    // The current instance with one link counted for the caller.
    static Zombie* AcquireForLink() noexcept;
    // Drops the global holder's count (module stop); the next need creates a new one.
    static void ReleaseGlobal() noexcept;
    // Number of live Zombie instances (tests).
    static int LiveCount() noexcept;

    bool AddRef() noexcept override { return false; }
    BaseFace* QueryFace(const Iid*) noexcept override { return nullptr; }
    uint64_t Identity() noexcept override { return 0; }
    void LinkWeak(WeakLink* link) noexcept override;
    ModuleLock* Release() noexcept override { return nullptr; }
    void UnlinkWeak(WeakLink* link) noexcept override;

private:
    Zombie() noexcept;
    ~Zombie();

    std::atomic<uint32_t> count_{1};
};

}  // namespace Object
