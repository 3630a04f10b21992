#pragma once

#include <cstdint>

#include "base/string.h"
#include "mt/blocker.h"
#include "object/ref.h"

namespace Mt {

// Runs on one thread and tells its observers, on that thread, when what they
// registered for has happened; window messages that reach the thread are
// dispatched on the way.
class EventLoop : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Mt::EventLoop"};
    using Parent = BaseFace;

    class Observer;

    // Registers an observer of "mt/evloop/trigger": notified each time the
    // blocker fires or, without a blocker, every `interval` milliseconds. The
    // registration lasts as long as the returned ticket; the loop holds the
    // observer only weakly, so an observer may keep its own ticket.
    virtual Ref<BaseFace> Register(const Ref<Observer>& observer, const Ref<Blocker>& blocker,
                                   uint32_t interval) = 0;
    // Runs the loop on the calling thread until Quit, or until the thread is
    // interrupted (the interrupt error).
    virtual void Run() = 0;
    // Makes Run return; callable from any thread.
    virtual void Quit() = 0;
};

class EventLoop::Observer : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Mt::EventLoop::Observer"};
    using Parent = BaseFace;

    virtual void Notify(const BaseString& notification) = 0;
};

inline constexpr char16_t kTriggerNotification[] = u"mt/evloop/trigger";
inline constexpr char16_t kEventLoopClsid[] = u"CID_Mt::EventLoop";
// The process's background loop, on a thread of its own, while anyone holds it.
inline constexpr char16_t kBackgroundLoopClsid[] = u"CID_Mt::BackgroundLoop";

}  // namespace Mt
