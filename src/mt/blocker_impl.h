#pragma once

#include <cstdint>
#include <vector>

#include "mt/blocker.h"
#include "mt/thread.h"
#include "object/impl.h"

namespace Mt {

// An auto-reset or manual-reset event of its own.
class EventBlocker final
    : public Object::Impl<EventBlocker, EventBasedBlocker, ::Win32::BlockerInfo> {
public:
    EventBlocker(bool manual_reset, bool initially_set);
    ~EventBlocker();

    void Wait() override;
    bool IsFired() override { return fired_; }
    void Set() override;
    void Reset() override;

    Kind GetKind() override { return kHandle; }
    Platform::Handle GetHandle() override { return event_; }
    uint32_t GetTimeout() override { return Platform::kInfinite; }
    void SetResult(bool fired, const Error&, const Message*) override { fired_ = fired; }

private:
    Platform::Handle event_;
    bool fired_ = false;
};

// The end of a thread; keeps the thread's record alive.
class ThreadEndBlocker final
    : public Object::Impl<ThreadEndBlocker, Blocker, ::Win32::BlockerInfo> {
public:
    ThreadEndBlocker(Ref<Thread> thread, Platform::Handle handle)
        : thread_(std::move(thread)), handle_(handle) {}

    void Wait() override;
    bool IsFired() override { return fired_; }

    Kind GetKind() override { return kHandle; }
    Platform::Handle GetHandle() override { return handle_; }
    uint32_t GetTimeout() override { return Platform::kInfinite; }
    void SetResult(bool fired, const Error&, const Message*) override { fired_ = fired; }

private:
    Ref<Thread> thread_;
    Platform::Handle handle_;
    bool fired_ = false;
};

class TimeBlocker final : public Object::Impl<TimeBlocker, TimeBasedBlocker, ::Win32::BlockerInfo> {
public:
    explicit TimeBlocker(uint32_t milliseconds = Platform::kInfinite) : timeout_(milliseconds) {}

    void Wait() override;
    bool IsFired() override { return fired_; }
    void SetTimeout(uint32_t milliseconds) override { timeout_ = milliseconds; }
    uint32_t GetTimeout() override { return timeout_; }

    Kind GetKind() override { return kTimeout; }
    Platform::Handle GetHandle() override { return nullptr; }
    void SetResult(bool fired, const Error&, const Message*) override { fired_ = fired; }

private:
    uint32_t timeout_;
    bool fired_ = false;
};

class MessageBlocker final
    : public Object::Impl<MessageBlocker, MessageQueueBlocker, ::Win32::BlockerInfo> {
public:
    void Wait() override;
    bool IsFired() override { return fired_; }
    Message GetMessage() override { return message_; }

    Kind GetKind() override { return kMessageQueue; }
    Platform::Handle GetHandle() override { return nullptr; }
    uint32_t GetTimeout() override { return Platform::kInfinite; }
    void SetResult(bool fired, const Error& error, const Message* message) override;

private:
    Message message_;
    bool fired_ = false;
};

// Waits for any of its blockers, or for all of them.
class MultiBlockerImpl final : public Object::Impl<MultiBlockerImpl, MultiBlocker> {
public:
    explicit MultiBlockerImpl(bool all) : all_(all) {}

    void Wait() override;
    bool IsFired() override { return fired_; }
    void Add(const Ref<Blocker>& blocker) override;
    void Remove(const Ref<Blocker>& blocker) override;
    void Clear() override { members_.clear(); }

private:
    struct Member {
        Ref<Blocker> blocker;
        Ref<::Win32::BlockerInfo> info;
    };

    void WaitForAny();
    void WaitForAll();

    bool all_;
    bool fired_ = false;
    std::vector<Member> members_;
};

}  // namespace Mt
