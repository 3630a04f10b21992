#pragma once

#include <cstdint>

#include "base/string.h"
#include "mt/thread.h"
#include "object/ref.h"
#include "object/value.h"

namespace Mt {

// Told when a thread is interrupted, on the interrupting thread (to cut short
// what the interrupted thread waits for outside the thread's own waits).
class Interrupter : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Mt::Interrupter"};
    using Parent = BaseFace;

    virtual void OnInterrupt() = 0;
};

// The calling thread's service: thread slots, interruption, thread start.
class CurrentThread : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Mt::CurrentThread"};
    using Parent = BaseFace;

    // Implemented by objects kept in thread slots that follow the thread into
    // every thread it starts.
    class Notification;

    virtual Ref<Thread> GetThread() = 0;
    // Gives up the rest of the time slice.
    virtual void Yield() = 0;
    // Starts a thread running the runnable; returns once its Initialize has run.
    // An Error from Initialize is thrown here, after the new thread has ended.
    virtual Ref<Thread> StartThread(const Ref<Runnable>& runnable) = 0;
    // Stores a value in the calling thread's slot; an empty value removes it.
    virtual void SetSlot(const BaseString& slot, const Value& value) = 0;
    // The value of the calling thread's slot, empty when absent.
    virtual Value GetSlot(const BaseString& slot) = 0;
    // Waits the given milliseconds unless the thread is interrupted first.
    virtual void Sleep(uint32_t milliseconds) = 0;
    // The platform's identifier of the calling thread (for PostMessageToThread).
    virtual uint32_t GetThreadId() = 0;
    // Throws the interrupt error when the calling thread has a pending interrupt.
    virtual void CheckInterrupt() = 0;
    // Tells the interrupter when the calling thread is interrupted, while the
    // returned registration lives.
    virtual Ref<BaseFace> RegisterInterrupter(const Ref<Interrupter>& interrupter) = 0;
};

class CurrentThread::Notification : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Mt::CurrentThread::Notification"};
    using Parent = BaseFace;

    // On a new thread, before its runnable is initialised.
    virtual void OnThreadStart() = 0;
    // On that thread, after its runnable has run.
    virtual void OnThreadEnd() = 0;
};

inline constexpr char16_t kCurrentThreadClsid[] = u"CID_Mt::CurrentThreadImpl";

// The calling thread's service.
Ref<CurrentThread> GetCurrentThread();

// CheckInterrupt of the calling thread, for code that catches an Error and
// carries on. Does nothing while no threads service is registered.
void CheckInterrupt();

}  // namespace Mt
