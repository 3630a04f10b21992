#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "base/string.h"
#include "mt/current_thread.h"
#include "mt/platform.h"
#include "object/impl.h"
#include "object/value.h"

namespace Mt {

// The record of one thread: its slots, its interrupt state and its handle. A
// thread reaches its own record through a thread-local; other threads reach it
// only as a Thread (Interrupt, IsInterrupted, Join).
class ThreadImpl final : public Object::Impl<ThreadImpl, Thread> {
public:
    // The calling thread's record, made on its first use.
    static ThreadImpl& Current();
    // Throws the prebuilt interrupt error when the calling thread is interrupted.
    static void CheckCurrentInterrupt();

    // A record for a thread about to be started; the new thread adopts it.
    ThreadImpl();
    // The record of an existing thread, with the handle of that thread.
    explicit ThreadImpl(Platform::Handle thread_handle);
    ~ThreadImpl();

    // Makes this record the calling thread's (the first thing a started thread does).
    void AdoptAsCurrent();

    void Interrupt() override;
    bool IsInterrupted() override;
    Ref<Blocker> GetEndBlocker() override;
    void Join(bool without_interrupt) override;
    Error GetError() override;

    void SetError(const Error& error);

    // The calling thread's own side.
    void SetSlot(const BaseString& slot, const Value& value);
    Value GetSlot(const BaseString& slot) const;
    // The objects held in the slots that implement `Notification`.
    std::vector<Ref<CurrentThread::Notification>> SlotNotifications() const;
    Ref<BaseFace> RegisterInterrupter(const Ref<Interrupter>& interrupter);
    // Releases every slot (at thread end, on the thread).
    void ClearSlots();

    // Manual-reset, set once the thread is interrupted; the first handle of
    // every wait of the thread.
    Platform::Handle InterruptEvent() const { return interrupt_event_; }
    // Fires when the thread has ended. Set before the thread runs.
    Platform::Handle& ThreadHandle() { return thread_handle_; }

private:
    class InterrupterRegistration;
    friend class InterrupterRegistration;

    std::map<BaseString, Value> slots_;  // touched by the thread itself only
    Platform::Handle interrupt_event_;
    Platform::Handle thread_handle_ = nullptr;

    std::mutex mutex_;
    uint32_t interrupt_count_ = 0;
    std::vector<std::pair<InterrupterRegistration*, Ref<Interrupter>>> interrupters_;
    Error error_;
};

}  // namespace Mt
