#include "mt/event_loop.h"
#include "object/cleanup.h"
#include "object/factory.h"
#include "object/manager.h"

namespace Mt {

namespace {

// The process-wide cleanup manager's activity ticket: while it lives, the
// background loop's timer runs the manager's sweep.
class ActivityTicketImpl final
    : public Object::Impl<ActivityTicketImpl, Cleanup::ActivityTicket, EventLoop::Observer> {
public:
    static constexpr char16_t kClsid[] = u"CID_Cleanup::ActivityTicket";

    ActivityTicketImpl() : manager_(Cleanup::GetManager()) {
        Ref<EventLoop> loop = Object::Create<EventLoop>(BaseString(kBackgroundLoopClsid));
        registration_ = loop->Register(Ref<EventLoop::Observer>::Share(this), nullptr,
                                       Cleanup::SweepInterval());
    }

    void Notify(const BaseString& notification) override {
        if (notification == kTriggerNotification) {
            manager_->Run(false);
        }
    }

private:
    Ref<Cleanup::Manager> manager_;
    Ref<BaseFace> registration_;
};
static_assert(std::u16string_view(ActivityTicketImpl::kClsid) == Cleanup::kActivityTicketClsid);

Object::FactoryRegistration registration{Object::ClassFactory<ActivityTicketImpl>()};

}  // namespace

}  // namespace Mt
