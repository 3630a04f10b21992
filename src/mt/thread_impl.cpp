#include "mt/thread_impl.h"

#include "base/platform.h"
#include "mt/blocker_impl.h"

namespace Mt {

namespace {

ThreadImpl* CurrentRecord() {
    return static_cast<ThreadImpl*>(Platform::CurrentThreadValue());
}

// The thread's own reference to its record ends with the thread, on the thread
// itself: the slots are emptied there, so what they hold is released on the
// thread that stored it.
void ReleaseAtThreadEnd(void* value) {
    ThreadImpl* record = static_cast<ThreadImpl*>(value);
    record->ClearSlots();
    ReleaseFace(record->PrimaryFace());
}

}  // namespace

class ThreadImpl::InterrupterRegistration final
    : public Object::Impl<InterrupterRegistration, BaseFace> {
public:
    InterrupterRegistration(ThreadImpl& thread, const Ref<Interrupter>& interrupter)
        : thread_(Ref<ThreadImpl>::Share(&thread)) {
        std::lock_guard lock(thread_->mutex_);
        thread_->interrupters_.emplace_back(this, interrupter);
    }
    ~InterrupterRegistration() {
        std::lock_guard lock(thread_->mutex_);
        auto& list = thread_->interrupters_;
        for (auto entry = list.begin(); entry != list.end(); ++entry) {
            if (entry->first == this) {
                list.erase(entry);
                break;
            }
        }
    }

private:
    Ref<ThreadImpl> thread_;
};

ThreadImpl::ThreadImpl() : interrupt_event_(Platform::NewEvent(true, false)) {
    if (!interrupt_event_) {
        throw Error::FromSystem(Base::LastError(), BaseString(), true);
    }
}

ThreadImpl::ThreadImpl(Platform::Handle thread_handle) : ThreadImpl() {
    thread_handle_ = thread_handle;
}

ThreadImpl::~ThreadImpl() {
    Platform::CloseHandle(interrupt_event_);
    Platform::CloseHandle(thread_handle_);
}

ThreadImpl& ThreadImpl::Current() {
    if (ThreadImpl* record = CurrentRecord()) {
        return *record;
    }
    Platform::Handle handle = Platform::OpenCurrentThread();
    Ref<ThreadImpl> record;
    try {
        record = Object::New<ThreadImpl>(handle);
    } catch (...) {
        Platform::CloseHandle(handle);
        throw;
    }
    record->AdoptAsCurrent();
    return *record;
}

void ThreadImpl::AdoptAsCurrent() {
    AddRef();
    Platform::SetCurrentThreadValue(this, ReleaseAtThreadEnd);
    Platform::EnsureMessageQueue();
}

void ThreadImpl::CheckCurrentInterrupt() {
    static const Error interrupted(ErrInterrupt, BaseString(), false);
    if (Current().IsInterrupted()) {
        throw interrupted;
    }
}

void ThreadImpl::Interrupt() {
    std::vector<Ref<Interrupter>> told;
    {
        std::lock_guard lock(mutex_);
        ++interrupt_count_;
        Platform::SetEvent(interrupt_event_);
        for (const auto& entry : interrupters_) {
            told.push_back(entry.second);
        }
    }
    for (const Ref<Interrupter>& interrupter : told) {
        interrupter->OnInterrupt();
    }
}

bool ThreadImpl::IsInterrupted() {
    std::lock_guard lock(mutex_);
    return interrupt_count_ > 0;
}

Ref<Blocker> ThreadImpl::GetEndBlocker() {
    return Object::New<ThreadEndBlocker>(Ref<Thread>::Share(this), thread_handle_);
}

void ThreadImpl::Join(bool without_interrupt) {
    if (!without_interrupt) {
        Interrupt();
    }
    if (CurrentRecord() == this) {
        return;  // a thread cannot wait for its own end
    }
    if (Platform::WaitForAny(&thread_handle_, 1, Platform::kInfinite) == Platform::kWaitFailed) {
        SetError(Error::FromSystem(Base::LastError(), BaseString(), true));
    }
}

Error ThreadImpl::GetError() {
    std::lock_guard lock(mutex_);
    return error_;
}

void ThreadImpl::SetError(const Error& error) {
    std::lock_guard lock(mutex_);
    error_ = error;
}

void ThreadImpl::SetSlot(const BaseString& slot, const Value& value) {
    if (value.IsEmpty()) {
        // Released after the entry is gone, so that its destructor sees the slot empty.
        Value released;
        auto found = slots_.find(slot);
        if (found != slots_.end()) {
            released = std::move(found->second);
            slots_.erase(found);
        }
    } else {
        slots_[slot] = value;
    }
}

Value ThreadImpl::GetSlot(const BaseString& slot) const {
    auto found = slots_.find(slot);
    return found == slots_.end() ? Value() : found->second;
}

void ThreadImpl::ClearSlots() {
    // What the released objects store meanwhile is released in the next round.
    while (!slots_.empty()) {
        std::map<BaseString, Value> released = std::move(slots_);
        slots_.clear();
    }
}

std::vector<Ref<CurrentThread::Notification>> ThreadImpl::SlotNotifications() const {
    std::vector<Ref<CurrentThread::Notification>> notified;
    for (const auto& [name, value] : slots_) {
        if (value.tag() == Value::kObject) {
            if (auto notification = SoftCast<CurrentThread::Notification>(value.GetFace())) {
                notified.push_back(std::move(notification));
            }
        }
    }
    return notified;
}

Ref<BaseFace> ThreadImpl::RegisterInterrupter(const Ref<Interrupter>& interrupter) {
    return Object::New<InterrupterRegistration>(*this, interrupter);
}

}  // namespace Mt
