#include "object/module_lock.h"

#include "base/platform.h"

namespace Object {

namespace {

constexpr uint64_t kTickMask = 0xFFFFFFFF00000000;

std::atomic<uint32_t> g_clock_ahead{0};

uint32_t IdleTick() {
    uint32_t tick;
    do {
        tick = Base::TickCount();
    } while (tick == 0 || tick == 0xFFFFFFFF);
    return tick;
}

}  // namespace

void ModuleLock::Lock() noexcept {
    uint64_t word = word_.load(std::memory_order_relaxed);
    for (;;) {
        uint32_t state = static_cast<uint32_t>(word);
        if (word_.compare_exchange_weak(word, (word & kTickMask) | ((state + 2) | 1),
                                        std::memory_order_acq_rel)) {
            return;
        }
        Base::YieldThread();
    }
}

void ModuleLock::Unlock() noexcept {
    uint64_t word = word_.load(std::memory_order_relaxed);
    uint32_t tick = 0;
    for (;;) {
        uint32_t remaining = static_cast<uint32_t>(word) - 2;
        uint64_t next;
        if (remaining > 1) {
            next = (word & kTickMask) | remaining;
        } else {
            // The last holder: idle from now, state 0.
            if (tick == 0) {
                tick = IdleTick();
            }
            next = static_cast<uint64_t>(tick) << 32;
        }
        if (word_.compare_exchange_weak(word, next, std::memory_order_acq_rel)) {
            return;
        }
    }
}

bool ModuleLock::IsIdleFor(uint32_t milliseconds) const noexcept {
    uint64_t word = word_.load(std::memory_order_acquire);
    if (static_cast<uint32_t>(word) != 0) {
        return false;
    }
    // A tick of 0 means no holder has ever left: idle since the module started.
    uint32_t since = static_cast<uint32_t>(word >> 32);
    uint32_t now = Base::TickCount() + g_clock_ahead.load(std::memory_order_relaxed);
    return since == 0 || now - since >= milliseconds;
}

void SetIdleClockAheadForTesting(uint32_t milliseconds) noexcept {
    g_clock_ahead.store(milliseconds, std::memory_order_relaxed);
}

}  // namespace Object
