#include <algorithm>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "base/platform.h"
#include "mt/blocker_impl.h"
#include "mt/current_thread.h"
#include "mt/event_loop.h"
#include "object/factory.h"
#include "object/singleton.h"

namespace Mt {

namespace {

constexpr char16_t kAddNotification[] = u"mt/evloop/trigger/add";
constexpr char16_t kRemoveNotification[] = u"mt/evloop/trigger/remove";

// Milliseconds from `now` until `due`, 0 once it has come (wrap-around safe).
uint32_t Remaining(uint32_t due, uint32_t now) {
    int32_t left = static_cast<int32_t>(due - now);
    return left > 0 ? static_cast<uint32_t>(left) : 0;
}

class EventLoopImpl final : public Object::Impl<EventLoopImpl, EventLoop> {
public:
    struct Registration {
        WeakRef<Observer> observer;
        Ref<Blocker> blocker;  // empty for a timed registration
        uint32_t interval = 0;
        uint32_t due = 0;  // loop thread only
        std::atomic<bool> active{true};
    };

    // Posts "mt/evloop/trigger/add" to its loop when made, and
    // "mt/evloop/trigger/remove" when destroyed.
    class Ticket final : public Object::Impl<Ticket, BaseFace> {
    public:
        Ticket(Ref<EventLoopImpl> loop, std::shared_ptr<Registration> registration)
            : loop_(std::move(loop)), registration_(std::move(registration)) {
            loop_->Post(kAddNotification, registration_);
        }
        ~Ticket() {
            registration_->active = false;
            loop_->Post(kRemoveNotification, registration_);
        }

    private:
        Ref<EventLoopImpl> loop_;
        std::shared_ptr<Registration> registration_;
    };

    EventLoopImpl()
        : wake_(Object::New<EventBlocker>(false, false)),
          messages_(Object::New<MessageBlocker>()) {}

    Ref<BaseFace> Register(const Ref<Observer>& observer, const Ref<Blocker>& blocker,
                           uint32_t interval) override {
        if (blocker) {
            Cast<::Win32::BlockerInfo>(blocker, "mt");
        }
        auto registration = std::make_shared<Registration>();
        registration->observer.Set(observer);
        registration->blocker = blocker;
        registration->interval = interval;
        return Object::New<Ticket>(Ref<EventLoopImpl>::Share(this), std::move(registration));
    }

    void Run() override;

    void Quit() override {
        quit_ = true;
        wake_->Set();
    }

    void Post(const char16_t* notification, const std::shared_ptr<Registration>& registration) {
        {
            std::lock_guard lock(mutex_);
            posted_.emplace_back(notification, registration);
        }
        wake_->Set();
    }

private:
    void TakePosted();
    void WaitForNextEvent();
    void Deliver();

    std::mutex mutex_;
    std::deque<std::pair<const char16_t*, std::shared_ptr<Registration>>> posted_;
    Ref<EventBlocker> wake_;
    Ref<MessageBlocker> messages_;
    std::atomic<bool> quit_{false};
    std::vector<std::shared_ptr<Registration>> registrations_;  // loop thread only
};

void EventLoopImpl::Run() {
    for (;;) {
        TakePosted();
        if (quit_.exchange(false)) {
            return;
        }
        WaitForNextEvent();
        if (messages_->IsFired()) {
            Platform::DispatchWindowMessage(messages_->GetMessage());
        }
        Deliver();
    }
}

void EventLoopImpl::TakePosted() {
    std::deque<std::pair<const char16_t*, std::shared_ptr<Registration>>> posted;
    {
        std::lock_guard lock(mutex_);
        posted.swap(posted_);
    }
    for (auto& [notification, registration] : posted) {
        if (notification == kAddNotification) {
            registration->due = Base::TickCount() + registration->interval;
            registrations_.push_back(std::move(registration));
        } else {
            std::erase(registrations_, registration);
        }
    }
}

void EventLoopImpl::WaitForNextEvent() {
    Ref<TimeBlocker> timer = Object::New<TimeBlocker>();
    Ref<MultiBlockerImpl> waited = Object::New<MultiBlockerImpl>(false);
    waited->Add(wake_);
    waited->Add(messages_);
    uint32_t now = Base::TickCount();
    uint32_t timeout = Platform::kInfinite;
    for (const auto& registration : registrations_) {
        if (registration->blocker) {
            waited->Add(registration->blocker);
        } else {
            timeout = std::min(timeout, Remaining(registration->due, now));
        }
    }
    if (timeout != Platform::kInfinite) {
        timer->SetTimeout(timeout);
        waited->Add(timer);
    }
    waited->Wait();
}

void EventLoopImpl::Deliver() {
    uint32_t now = Base::TickCount();
    std::vector<std::shared_ptr<Registration>> due;
    for (const auto& registration : registrations_) {
        if (registration->blocker) {
            if (registration->blocker->IsFired()) {
                due.push_back(registration);
            }
        } else if (Remaining(registration->due, now) == 0) {
            registration->due = now + registration->interval;
            due.push_back(registration);
        }
    }
    for (const auto& registration : due) {
        Ref<Observer> observer = registration->observer.Lock();
        if (!observer || !registration->active) {
            continue;
        }
        try {
            observer->Notify(BaseString(kTriggerNotification));
        } catch (const Error&) {
            CheckInterrupt();
        }
    }
}

// Runs a loop on the thread it is started on.
class LoopRunner final : public Object::Impl<LoopRunner, Runnable> {
public:
    explicit LoopRunner(Ref<EventLoopImpl> loop) : loop_(std::move(loop)) {}
    void Initialize() override {}
    void Run() override { loop_->Run(); }

private:
    Ref<EventLoopImpl> loop_;
};

// A loop on a thread of its own, which ends when the background loop is released.
class BackgroundLoopImpl final : public Object::Impl<BackgroundLoopImpl, EventLoop> {
public:
    // Keeps the background loop alive as long as the registration.
    class Ticket final : public Object::Impl<Ticket, BaseFace> {
    public:
        Ticket(Ref<BackgroundLoopImpl> loop, Ref<BaseFace> ticket)
            : loop_(std::move(loop)), ticket_(std::move(ticket)) {}

    private:
        Ref<BackgroundLoopImpl> loop_;
        Ref<BaseFace> ticket_;  // released first
    };

    BackgroundLoopImpl() : loop_(Object::New<EventLoopImpl>()) {
        thread_ = GetCurrentThread()->StartThread(Object::New<LoopRunner>(loop_));
    }
    ~BackgroundLoopImpl() {
        loop_->Quit();
        thread_->Join();
    }

    Ref<BaseFace> Register(const Ref<Observer>& observer, const Ref<Blocker>& blocker,
                           uint32_t interval) override {
        return Object::New<Ticket>(Ref<BackgroundLoopImpl>::Share(this),
                                   loop_->Register(observer, blocker, interval));
    }
    // The loop runs on its own thread only.
    void Run() override { throw Error(ErrNotSupported, BaseString(), false); }
    void Quit() override { loop_->Quit(); }

private:
    Ref<EventLoopImpl> loop_;
    Ref<Thread> thread_;
};

struct EventLoopClasses {
    static void Describe(std::vector<Object::ClassRecord>& records) {
        records.push_back({BaseString(kEventLoopClsid), EventLoopImpl::InterfaceIds()});
        records.push_back({BaseString(kBackgroundLoopClsid), BackgroundLoopImpl::InterfaceIds()});
    }
    Ref<BaseFace> Create(const BaseString& clsid) {
        if (clsid == kEventLoopClsid) {
            return Object::New<EventLoopImpl>();
        }
        if (clsid == kBackgroundLoopClsid) {
            static Object::WeakSingleton<EventLoop> background;
            return background.Get([] { return Object::New<BackgroundLoopImpl>(); });
        }
        return {};
    }
};

Object::FactoryRegistration registration{Object::New<Object::FactoryImpl<EventLoopClasses>>()};

}  // namespace

}  // namespace Mt
