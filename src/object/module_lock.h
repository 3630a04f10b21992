#pragma once

#include <atomic>
#include <cstdint>

namespace Object {

// The usage counter of one module (the executable, a plug-in library). Every
// live object, every Error and the Zombie hold one lock of the module whose code
// built them, so the code stays loaded while it may still run. The state word
// counts holders in steps of 2 with bit 0 set while any are left; the tick
// records when the last holder left.
//
// State and tick share one atomic word (state in the low half), so the last
// holder leaves, records the tick and clears bit 0 in one step: once the module
// is idle no unlock touches the lock again, and a plug-in library may be
// unloaded, lock and all, the moment it is idle.
class ModuleLock {
public:
    constexpr ModuleLock() = default;

    void Lock() noexcept;
    void Unlock() noexcept;

    bool IsIdle() const noexcept { return State() == 0; }
    // True when no holder is left and none has been for at least `milliseconds`.
    bool IsIdleFor(uint32_t milliseconds) const noexcept;
    // GetTickCount at the moment the module last became idle.
    uint32_t IdleSince() const noexcept {
        return static_cast<uint32_t>(word_.load(std::memory_order_acquire) >> 32);
    }
    uint32_t State() const noexcept {
        return static_cast<uint32_t>(word_.load(std::memory_order_acquire));
    }

private:
    static_assert(std::atomic<uint64_t>::is_always_lock_free);
    std::atomic<uint64_t> word_{0};
};

// The lock of the module this code is linked into. Every module defines its own
// (this_module.cpp is compiled into the executable and into each plug-in library).
ModuleLock& ThisModule() noexcept;

// Makes IsIdleFor see the clock that many milliseconds ahead (tests).
void SetIdleClockAheadForTesting(uint32_t milliseconds) noexcept;

// Holds one lock of a module for its own lifetime (copies hold their own).
class ModuleLockHold {
public:
    explicit ModuleLockHold(ModuleLock& lock = ThisModule()) noexcept : lock_(&lock) {
        lock_->Lock();
    }
    ModuleLockHold(const ModuleLockHold& other) noexcept : ModuleLockHold(*other.lock_) {}
    ModuleLockHold& operator=(const ModuleLockHold& other) noexcept {
        other.lock_->Lock();
        lock_->Unlock();
        lock_ = other.lock_;
        return *this;
    }
    ~ModuleLockHold() { lock_->Unlock(); }

private:
    ModuleLock* lock_;
};

}  // namespace Object
