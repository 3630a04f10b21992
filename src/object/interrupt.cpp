#include "object/interrupt.h"

#include <atomic>

namespace Object {

namespace {
std::atomic<InterruptCheck> g_interrupt_check{nullptr};
}

void CheckInterrupt() {
    if (InterruptCheck check = g_interrupt_check.load(std::memory_order_acquire)) {
        check();
    }
}

void InstallInterruptCheck(InterruptCheck check) {
    g_interrupt_check.store(check, std::memory_order_release);
}

}  // namespace Object
