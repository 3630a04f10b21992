#include "mt/blocker_impl.h"

#include <algorithm>

#include "base/platform.h"
#include "mt/thread_impl.h"
#include "mt/wait.h"
#include "object/service_factory.h"

namespace Mt {

namespace {

// Waits on the calling thread's interrupt event and one handle, without limit.
bool WaitOnHandle(Platform::Handle handle) {
    Platform::Handle handles[2] = {ThreadImpl::Current().InterruptEvent(), handle};
    uint32_t result = Platform::WaitForAny(handles, 2, Platform::kInfinite);
    if (result == Platform::kWaitFailed) {
        throw Error::Internal("WFMO evt err %d", "mt", Base::LastError());
    }
    if (result == 0) {
        ThreadImpl::CheckCurrentInterrupt();
    }
    return result == 1;
}

void WaitAlone(::Win32::BlockerInfo* blocker, uint32_t timeout) {
    Error error = WaitForBlockers({Ref<::Win32::BlockerInfo>::Share(blocker)}, timeout);
    if (error.IsSet()) {
        throw error;
    }
}

}  // namespace

EventBlocker::EventBlocker(bool manual_reset, bool initially_set)
    : event_(Platform::NewEvent(manual_reset, initially_set)) {
    if (!event_) {
        throw Error::FromSystem(Base::LastError(), BaseString(), true);
    }
}

EventBlocker::~EventBlocker() {
    Platform::CloseHandle(event_);
}

void EventBlocker::Wait() {
    fired_ = WaitOnHandle(event_);
}

void EventBlocker::Set() {
    Platform::SetEvent(event_);
}

void EventBlocker::Reset() {
    Platform::ResetEvent(event_);
}

void ThreadEndBlocker::Wait() {
    fired_ = WaitOnHandle(handle_);
}

void TimeBlocker::Wait() {
    WaitAlone(this, timeout_);
}

void MessageBlocker::Wait() {
    WaitAlone(this, Platform::kInfinite);
}

void MessageBlocker::SetResult(bool fired, const Error&, const Message* message) {
    fired_ = fired;
    if (message) {
        message_ = *message;
    }
}

void MultiBlockerImpl::Add(const Ref<Blocker>& blocker) {
    if (!blocker) {
        throw Error::Internal("mblck-null", "mt");
    }
    members_.push_back({blocker, Cast<::Win32::BlockerInfo>(blocker, "mt")});
}

void MultiBlockerImpl::Remove(const Ref<Blocker>& blocker) {
    std::erase_if(members_, [&](const Member& member) { return member.blocker == blocker; });
}

void MultiBlockerImpl::Wait() {
    fired_ = false;
    all_ ? WaitForAll() : WaitForAny();
    fired_ = true;
}

void MultiBlockerImpl::WaitForAny() {
    std::vector<Ref<::Win32::BlockerInfo>> waited;
    uint32_t timeout = Platform::kInfinite;
    for (const Member& member : members_) {
        waited.push_back(member.info);
        if (member.info->GetKind() == ::Win32::BlockerInfo::kTimeout) {
            timeout = std::min(timeout, member.info->GetTimeout());
        }
    }
    Error error = WaitForBlockers(waited, timeout);
    if (error.IsSet()) {
        throw error;
    }
}

// Waits pass by pass for the members that have not fired yet; time-outs count
// from the start of the whole wait.
void MultiBlockerImpl::WaitForAll() {
    std::vector<Member> pending = members_;
    uint32_t start = Base::TickCount();
    while (!pending.empty()) {
        uint32_t elapsed = Base::TickCount() - start;
        std::vector<Ref<::Win32::BlockerInfo>> waited;
        uint32_t timeout = Platform::kInfinite;
        std::erase_if(pending, [&](const Member& member) {
            if (member.info->GetKind() != ::Win32::BlockerInfo::kTimeout) {
                waited.push_back(member.info);
                return false;
            }
            if (member.info->GetTimeout() <= elapsed) {
                member.info->SetResult(true, Error(), nullptr);
                return true;
            }
            timeout = std::min(timeout, member.info->GetTimeout() - elapsed);
            return false;
        });
        if (pending.empty()) {
            break;
        }
        Error error = WaitForBlockers(waited, timeout);
        if (error.IsSet()) {
            throw error;
        }
        std::erase_if(pending, [](const Member& member) {
            return member.info->GetKind() != ::Win32::BlockerInfo::kTimeout &&
                   member.blocker->IsFired();
        });
    }
}

namespace {

template <class Class, class... Args>
Ref<BaseFace> NewObject(Args... args) {
    return Ref<BaseFace>::Adopt(Object::AsBaseFace(new Class(args...)));
}

// Events, message-queue blockers and time-outs. The factory keeps no state, so
// the one object serves as the event factory too.
class EventFactoryImpl final
    : public Object::ServiceFactory<EventFactoryImpl, Win32::EventFactory> {
public:
    static constexpr const char16_t* kServiceClsids[] = {kEventFactoryClsid};

    Ref<EventBasedBlocker> CreateEvent(bool manual_reset, bool initially_set) override {
        return Object::New<EventBlocker>(manual_reset, initially_set);
    }
    Ref<MessageQueueBlocker> CreateMessageQueueBlocker() override {
        return Object::New<MessageBlocker>();
    }

    Ref<BaseFace> CreateOther(const BaseString& clsid) {
        if (clsid == kAutoEventBasedBlockerClsid || clsid == kManualEventBasedBlockerClsid) {
            return NewObject<EventBlocker>(clsid == kManualEventBasedBlockerClsid, false);
        }
        if (clsid == kTimeBasedBlockerClsid) {
            return NewObject<TimeBlocker>();
        }
        return {};
    }
    static void DescribeOthers(std::vector<Object::ClassRecord>& records) {
        records.push_back({BaseString(kAutoEventBasedBlockerClsid), EventBlocker::InterfaceIds()});
        records.push_back(
            {BaseString(kManualEventBasedBlockerClsid), EventBlocker::InterfaceIds()});
        records.push_back({BaseString(kTimeBasedBlockerClsid), TimeBlocker::InterfaceIds()});
    }
};

struct MultiBlockerClasses {
    static void Describe(std::vector<Object::ClassRecord>& records) {
        records.push_back({BaseString(kMultiBlockerClsid), MultiBlockerImpl::InterfaceIds()});
        records.push_back({BaseString(kMultiBlockerAllClsid), MultiBlockerImpl::InterfaceIds()});
    }
    Ref<BaseFace> Create(const BaseString& clsid) {
        if (clsid == kMultiBlockerClsid || clsid == kMultiBlockerAllClsid) {
            return Object::New<MultiBlockerImpl>(clsid == kMultiBlockerAllClsid);
        }
        return {};
    }
};

Object::FactoryRegistration event_registration{Object::New<EventFactoryImpl>()};
Object::FactoryRegistration multi_blocker_registration{
    Object::New<Object::FactoryImpl<MultiBlockerClasses>>()};

}  // namespace

}  // namespace Mt
