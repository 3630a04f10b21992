#include "mt/wait.h"

#include "base/platform.h"
#include "mt/thread_impl.h"

namespace Mt {

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
        for (;;) {
            if (Platform::TakeMessage(&message)) {
                input = true;
                break;
            }
            result = Platform::WaitForAnyOrInput(handles.data(), count, timeout);
            if (result != count) {
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
