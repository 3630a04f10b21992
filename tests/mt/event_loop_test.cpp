#include <gtest/gtest.h>

#include <atomic>

#include "function_runnable.h"
#include "mt/blocker.h"
#include "mt/current_thread.h"
#include "mt/event_loop.h"
#include "object/cleanup.h"
#include "object/manager.h"

namespace {

Ref<Mt::EventBasedBlocker> NewEvent(bool manual_reset) {
    return Object::Create<Mt::Win32::EventFactory>(BaseString(Mt::kEventFactoryClsid))
        ->CreateEvent(manual_reset, false);
}

// Counts its notifications and signals each one.
class CountingObserver final : public Object::Impl<CountingObserver, Mt::EventLoop::Observer> {
public:
    void Notify(const BaseString& notification) override {
        if (notification == Mt::kTriggerNotification) {
            thread_id = Mt::GetCurrentThread()->GetThreadId();
            ++count;
            notified->Set();
        }
    }

    Ref<Mt::EventBasedBlocker> notified = NewEvent(false);
    std::atomic<int> count{0};
    std::atomic<uint32_t> thread_id{0};
};

Ref<Mt::EventLoop> BackgroundLoop() {
    return Object::Create<Mt::EventLoop>(BaseString(Mt::kBackgroundLoopClsid));
}

TEST(EventLoop, BackgroundLoopNotifiesOnItsOwnThreadWhileTheTicketLives) {
    Ref<CountingObserver> observer = Object::New<CountingObserver>();
    Ref<Mt::EventBasedBlocker> trigger = NewEvent(false);
    Ref<BaseFace> ticket = BackgroundLoop()->Register(observer, trigger, 0);

    trigger->Set();
    observer->notified->Wait();
    EXPECT_EQ(observer->count, 1);
    EXPECT_NE(observer->thread_id, Mt::GetCurrentThread()->GetThreadId());

    Ref<CountingObserver> timed = Object::New<CountingObserver>();
    Ref<BaseFace> timed_ticket = BackgroundLoop()->Register(timed, nullptr, 1);
    for (int i = 0; i < 3; ++i) {
        timed->notified->Wait();  // again and again, every millisecond
    }

    ticket.Reset();
    trigger->Set();
    timed->notified->Wait();  // the loop has gone round since the ticket died
    timed->notified->Wait();
    EXPECT_EQ(observer->count, 1);
}

TEST(EventLoop, RunsOnTheCallingThreadUntilQuit) {
    Ref<Mt::EventLoop> loop = Object::Create<Mt::EventLoop>(BaseString(Mt::kEventLoopClsid));
    Ref<CountingObserver> observer = Object::New<CountingObserver>();
    Ref<Mt::EventBasedBlocker> trigger = NewEvent(false);
    Ref<BaseFace> ticket = loop->Register(observer, trigger, 0);
    Ref<Mt::Thread> runner = Start([&] { loop->Run(); });

    trigger->Set();
    observer->notified->Wait();
    loop->Quit();
    runner->GetEndBlocker()->Wait();
    EXPECT_FALSE(runner->GetError().IsSet());
    EXPECT_NE(observer->thread_id, Mt::GetCurrentThread()->GetThreadId());
}

TEST(EventLoop, AnInterruptEndsTheRun) {
    Ref<Mt::EventLoop> loop = Object::Create<Mt::EventLoop>(BaseString(Mt::kEventLoopClsid));
    Ref<Mt::Thread> runner = Start([&] { loop->Run(); });
    runner->Join();
    EXPECT_TRUE(runner->GetError().Has(ErrInterrupt));
}

class SweptItem final : public Object::Impl<SweptItem, Cleanup::Item> {
public:
    bool Sweep(bool forced) override {
        if (!forced) {
            swept->Set();
        }
        return false;
    }
    Ref<Mt::EventBasedBlocker> swept = NewEvent(true);
};

TEST(EventLoop, ActivityTicketSweepsTheCleanupManagerWhileItLives) {
    Cleanup::SetSweepIntervalForTesting(1);
    Ref<Cleanup::Manager> manager = Cleanup::GetManager();
    Ref<SweptItem> item = Object::New<SweptItem>();
    manager->AddItem(item);

    Ref<Cleanup::ActivityTicket> ticket = manager->GetActivityTicket();
    EXPECT_TRUE(ticket == manager->GetActivityTicket());
    item->swept->Wait();

    ticket.Reset();
    Cleanup::SetSweepIntervalForTesting(60000);
}

}  // namespace
