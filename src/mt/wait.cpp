#include "mt/wait.h"

#include "base/platform.h"
#include "mt/thread_impl.h"

namespace Mt {

namespace {

// What is left of a time-out that began at `started` (a TickCount).
uint32_t TimeLeft(uint32_t timeout, uint32_t started) {
    if (timeout == Platform::kInfinite) {
        return timeout;
    }
    uint32_t elapsed = Base::TickCount() - started;
    return elapsed < timeout ? timeout - elapsed : 0;
}

}  // namespace

Error WaitForBlockers(const std::vector<Ref<::Win32::BlockerInfo>>& blockers, uint32_t timeout) {
    std::vector<Platform::Handle> handles{ThreadImpl::Current().InterruptEvent()};
    std::vector<::Win32::BlockerInfo*> handle_owners{nullptr};
    bool with_queue = false;
    for (const Ref<::Win32::BlockerInfo>& blocker : blockers) {
        switch (blocker->GetKind()) {
            case ::Win32::BlockerInfo::kHandle:
                handles.push_back(blocker->GetHandle());
                handle_owners.push_back(blocker.get());
                break;
            case ::Win32::BlockerInfo::kMessageQueue:
                with_queue = true;
                break;
            case ::Win32::BlockerInfo::kTimeout:
                break;
        }
    }
    uint32_t count = static_cast<uint32_t>(handles.size());

    uint32_t result = 0;
    bool input = false;
    Message message;
    if (with_queue) {
        // Messages sent from other threads wake the wait too, and TakeMessage
        // handles them itself and finds nothing to take: the wait then goes on
        // for what is left of the time-out, not for all of it again, and once
        // that is used up only the handles are looked at.
        const uint32_t started = Base::TickCount();
        uint32_t left = timeout;
        for (;;) {
            if (Platform::TakeMessage(&message)) {
                input = true;
                break;
            }
            result = Platform::WaitForAnyOrInput(handles.data(), count, left);
            if (result != count) {
                break;
            }
            left = TimeLeft(timeout, started);
            if (left == 0) {
                result = Platform::WaitForAny(handles.data(), count, 0);
                break;
            }
        }
    } else {
        result = Platform::WaitForAny(handles.data(), count, timeout);
    }

    Error error;
    if (!input && result == 0) {
        error = Error(ErrInterrupt, BaseString(), false);
    } else if (!input && result == Platform::kWaitFailed) {
        error = Error::Internal("WFMO err %d(%d)", "mt", result, Base::LastError());
    }
    for (const Ref<::Win32::BlockerInfo>& blocker : blockers) {
        bool fired = false;
        switch (blocker->GetKind()) {
            case ::Win32::BlockerInfo::kHandle:
                fired = !input && result < count && handle_owners[result] == blocker.get();
                break;
            case ::Win32::BlockerInfo::kTimeout:
                fired =
                    !input && result == Platform::kWaitTimeout && blocker->GetTimeout() == timeout;
                break;
            case ::Win32::BlockerInfo::kMessageQueue:
                fired = input;
                break;
        }
        blocker->SetResult(fired, error, fired && input ? &message : nullptr);
    }
    return error;
}

}  // namespace Mt
