#pragma once

#include "error/error.h"
#include "object/ref.h"

namespace Mt {

class Blocker;

// Work for a new thread: Initialize runs on the new thread before the starter
// goes on, Run after that.
class Runnable : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Mt::Runnable"};
    using Parent = BaseFace;

    virtual void Initialize() = 0;
    virtual void Run() = 0;
};

// A thread, as other threads see it.
class Thread : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Mt::Thread"};
    using Parent = BaseFace;

    // Makes every wait of the thread return and its CheckInterrupt throw.
    virtual void Interrupt() = 0;
    virtual bool IsInterrupted() = 0;
    // Fires when the thread has ended.
    virtual Ref<Blocker> GetEndBlocker() = 0;
    // Interrupts the thread (unless told not to) and waits for its end.
    virtual void Join(bool without_interrupt = false) = 0;
    // The Error that ended the thread's runnable, or a failed Join's wait.
    virtual Error GetError() = 0;
};

}  // namespace Mt
