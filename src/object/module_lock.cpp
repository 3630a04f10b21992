#include "object/module_lock.h"

#include "base/platform.h"

namespace Object {

void ModuleLock::Lock() noexcept {
    uint32_t state = state_.load(std::memory_order_relaxed);
    while (!state_.compare_exchange_weak(state, (state + 2) | 1, std::memory_order_acq_rel)) {
        Base::YieldThread();
    }
}

void ModuleLock::Unlock() noexcept {
    uint32_t remaining = state_.fetch_sub(2, std::memory_order_acq_rel) - 2;
    if (remaining > 1) {
        return;
    }
    // Last holder gone: note when, then clear bit 0 unless a new holder came.
    uint32_t tick;
    do {
        tick = Base::TickCount();
    } while (tick == 0 || tick == 0xFFFFFFFF);
    tick_.store(tick, std::memory_order_release);
    uint32_t expected = 1;
    state_.compare_exchange_strong(expected, 0, std::memory_order_acq_rel);
}

namespace {
std::atomic<uint32_t> g_clock_ahead{0};
}

bool ModuleLock::IsIdleFor(uint32_t milliseconds) const noexcept {
    if (!IsIdle()) {
        return false;
    }
    // A tick of 0 means no holder has ever left: idle since the module started.
    uint32_t since = IdleSince();
    uint32_t now = Base::TickCount() + g_clock_ahead.load(std::memory_order_relaxed);
    return since == 0 || now - since >= milliseconds;
}

void SetIdleClockAheadForTesting(uint32_t milliseconds) noexcept {
    g_clock_ahead.store(milliseconds, std::memory_order_relaxed);
}

}  // namespace Object
