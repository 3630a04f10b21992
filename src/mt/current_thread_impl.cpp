#include <memory>
#include <mutex>

#include "base/platform.h"
#include "mt/current_thread.h"
#include "mt/thread_impl.h"
#include "object/service_factory.h"

namespace Mt {

namespace {

// What the starter hands the new thread.
struct StartData {
    Ref<Runnable> runnable;
    Ref<ThreadImpl> record;
    void* desktop = nullptr;
    std::vector<Ref<CurrentThread::Notification>> notified;
    Platform::Handle initialized = nullptr;

    std::mutex mutex;
    Error init_error;

    ~StartData() { Platform::CloseHandle(initialized); }
};

unsigned ThreadMain(void* argument) {
    std::shared_ptr<StartData> data =
        std::move(*static_cast<std::shared_ptr<StartData>*>(argument));
    delete static_cast<std::shared_ptr<StartData>*>(argument);
    ThreadImpl& self = *data->record;
    self.AdoptAsCurrent();
    if (data->desktop) {
        Platform::SetCurrentDesktop(data->desktop);
    }
    Error error;
    try {
        for (const auto& notification : data->notified) {
            notification->OnThreadStart();
        }
        data->runnable->Initialize();
        if (self.IsInterrupted()) {
            throw Error(ErrInterrupt, BaseString(), false);
        }
    } catch (const Error& caught) {
        error = caught;
        self.SetError(error);
    }
    {
        std::lock_guard lock(data->mutex);
        data->init_error = error;
    }
    Platform::SetEvent(data->initialized);
    if (!error.IsSet()) {
        try {
            data->runnable->Run();
        } catch (const Error& caught) {
            self.SetError(caught);
        }
        for (const auto& notification : data->notified) {
            try {
                notification->OnThreadEnd();
            } catch (const Error&) {
                // The thread ends anyway; its runnable's error is what it reports.
            }
        }
    }
    return 0;
}

// The current-thread service. It keeps no state of its own (each thread's is
// in its record), so the one object is also its own factory.
class CurrentThreadImpl final : public Object::ServiceFactory<CurrentThreadImpl, CurrentThread> {
public:
    static constexpr const char16_t* kServiceClsids[] = {kCurrentThreadClsid};

    Ref<Thread> GetThread() override { return Ref<Thread>::Share(&ThreadImpl::Current()); }
    void Yield() override { Base::YieldThread(); }
    Ref<Thread> StartThread(const Ref<Runnable>& runnable) override;
    void SetSlot(const BaseString& slot, const Value& value) override {
        ThreadImpl::Current().SetSlot(slot, value);
    }
    Value GetSlot(const BaseString& slot) override { return ThreadImpl::Current().GetSlot(slot); }
    void Sleep(uint32_t milliseconds) override;
    uint32_t GetThreadId() override { return CurrentThreadId(); }
    void CheckInterrupt() override { ThreadImpl::CheckCurrentInterrupt(); }
    Ref<BaseFace> RegisterInterrupter(const Ref<Interrupter>& interrupter) override {
        return ThreadImpl::Current().RegisterInterrupter(interrupter);
    }
};

Ref<Thread> CurrentThreadImpl::StartThread(const Ref<Runnable>& runnable) {
    ThreadImpl& self = ThreadImpl::Current();
    auto data = std::make_shared<StartData>();
    data->runnable = runnable;
    data->record = Object::New<ThreadImpl>();
    data->desktop = Platform::CurrentDesktop();
    data->notified = self.SlotNotifications();
    data->initialized = Platform::NewEvent(true, false);
    if (!data->initialized) {
        throw Error::FromSystem(Base::LastError(), BaseString(), true);
    }
    ThreadImpl& started = *data->record;
    auto* argument = new std::shared_ptr<StartData>(data);
    if (!Platform::StartThread(ThreadMain, argument, &started.ThreadHandle())) {
        uint32_t code = Base::LastError();
        delete argument;
        throw Error::Internal("_beginthreadex() err %d", "mt", code);
    }

    Platform::Handle waited[3] = {data->initialized, started.ThreadHandle(), self.InterruptEvent()};
    uint32_t result = Platform::WaitForAny(waited, 3, Platform::kInfinite);
    if (result == 2) {
        started.Join(false);
        CheckInterrupt();
    }
    if (result != 0 && result != 1) {
        throw Error::Internal("thr-init:res %d:err %d", "mt", result, Base::LastError());
    }
    Error init_error;
    {
        std::lock_guard lock(data->mutex);
        init_error = data->init_error;
    }
    if (init_error.IsSet()) {
        started.Join(true);
        throw init_error;
    }
    return data->record;
}

void CurrentThreadImpl::Sleep(uint32_t milliseconds) {
    Platform::Handle interrupt = ThreadImpl::Current().InterruptEvent();
    uint32_t result = Platform::WaitForAny(&interrupt, 1, milliseconds);
    if (result == Platform::kWaitFailed) {
        throw Error::Internal("WFMO err %d(%d)", "mt", result, Base::LastError());
    }
    CheckInterrupt();
}

Object::FactoryRegistration registration{Object::New<CurrentThreadImpl>()};

}  // namespace

}  // namespace Mt
