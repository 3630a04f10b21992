#pragma once

#include <cstdint>

#include "error/error.h"
#include "mt/message.h"
#include "mt/platform.h"
#include "object/ref.h"

namespace Mt {

// One condition a thread can wait for.
class Blocker : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Mt::Blocker"};
    using Parent = BaseFace;

    // Waits until the condition holds; an interrupt of the calling thread ends
    // the wait with the interrupt error.
    virtual void Wait() = 0;
    // Whether the last wait that included this blocker ended on it.
    virtual bool IsFired() = 0;
};

// An auto-reset or manual-reset event.
class EventBasedBlocker : public Blocker {
public:
    static constexpr Iid kIid{u"IID_Mt::EventBasedBlocker"};
    using Parent = Blocker;

    virtual void Set() = 0;
    virtual void Reset() = 0;
};

// A time-out, in milliseconds (0xFFFFFFFF: none).
class TimeBasedBlocker : public Blocker {
public:
    static constexpr Iid kIid{u"IID_Mt::TimeBasedBlocker"};
    using Parent = Blocker;

    virtual void SetTimeout(uint32_t milliseconds) = 0;
    virtual uint32_t GetTimeout() = 0;
};

// Input in the waiting thread's message queue. The wait that ends on it takes
// the message from the queue and hands it here instead of dispatching it.
class MessageQueueBlocker : public Blocker {
public:
    static constexpr Iid kIid{u"IID_Mt::MessageQueueBlocker"};
    using Parent = Blocker;

    virtual Message GetMessage() = 0;
};

// Several blockers waited for at once: any of them (CID_Mt::MultiBlocker) or
// all of them (CID_Mt::MultiBlockerAll). The time-out of the wait is the
// shortest of its time-based blockers.
class MultiBlocker : public Blocker {
public:
    static constexpr Iid kIid{u"IID_Mt::MultiBlocker"};
    using Parent = Blocker;

    // "mblck-null" for an empty blocker.
    virtual void Add(const Ref<Blocker>& blocker) = 0;
    virtual void Remove(const Ref<Blocker>& blocker) = 0;
    virtual void Clear() = 0;
};

namespace Win32 {

// Makes events and message-queue blockers.
class EventFactory : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Mt::Win32::EventFactory"};
    using Parent = BaseFace;

    virtual Ref<EventBasedBlocker> CreateEvent(bool manual_reset, bool initially_set) = 0;
    virtual Ref<MessageQueueBlocker> CreateMessageQueueBlocker() = 0;
};

}  // namespace Win32

inline constexpr char16_t kAutoEventBasedBlockerClsid[] = u"CID_Mt::AutoEventBasedBlocker";
inline constexpr char16_t kManualEventBasedBlockerClsid[] = u"CID_Mt::ManualEventBasedBlocker";
inline constexpr char16_t kTimeBasedBlockerClsid[] = u"CID_Mt::TimeBasedBlocker";
inline constexpr char16_t kMultiBlockerClsid[] = u"CID_Mt::MultiBlocker";
inline constexpr char16_t kMultiBlockerAllClsid[] = u"CID_Mt::MultiBlockerAll";
inline constexpr char16_t kEventFactoryClsid[] = u"CID_Mt::Win32::EventFactory";

}  // namespace Mt

namespace Win32 {

// What a blocker gives the merged wait of a thread, and how it hears the result.
class BlockerInfo : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Win32::BlockerInfo"};
    using Parent = BaseFace;

    enum Kind : uint32_t { kHandle, kTimeout, kMessageQueue };

    virtual Kind GetKind() = 0;
    // kHandle: the handle to wait on.
    virtual Mt::Platform::Handle GetHandle() = 0;
    // kTimeout: the milliseconds to wait.
    virtual uint32_t GetTimeout() = 0;
    // After the wait: whether this blocker fired, the wait's error (empty unless
    // it failed or was interrupted), and for kMessageQueue the message taken.
    virtual void SetResult(bool fired, const Error& error, const Mt::Message* message) = 0;
};

}  // namespace Win32
