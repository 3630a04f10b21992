#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "function_runnable.h"
#include "mt/blocker.h"
#include "mt/current_thread.h"
#include "object/manager.h"
#include "test_support.h"

namespace {

Ref<Mt::EventBasedBlocker> NewEvent(bool manual_reset = true) {
    return Object::Create<Mt::Win32::EventFactory>(BaseString(Mt::kEventFactoryClsid))
        ->CreateEvent(manual_reset, false);
}

// Sets a flag when released: shows on which side of a thread's end that happened.
class ReleaseFlag final : public Object::Impl<ReleaseFlag, BaseFace> {
public:
    explicit ReleaseFlag(std::atomic<int>& flag) : flag_(flag) {}
    ~ReleaseFlag() { ++flag_; }

private:
    std::atomic<int>& flag_;
};

class ThreadRecorder final : public Object::Impl<ThreadRecorder, Mt::CurrentThread::Notification> {
public:
    void OnThreadStart() override {
        started.push_back(Mt::GetCurrentThread()->GetThreadId());
        Mt::GetCurrentThread()->SetSlot(BaseString(u"TID_Test::Started"), Value(1));
    }
    void OnThreadEnd() override { ++ended; }

    std::vector<uint32_t> started;  // written by one started thread at a time
    std::atomic<int> ended{0};
};

TEST(CurrentThread, SlotsBelongToTheirThreadAndAnEmptyValueRemoves) {
    Ref<Mt::CurrentThread> current = Mt::GetCurrentThread();
    const BaseString slot(u"TID_Test::Slot");
    current->SetSlot(slot, Value(u"main"));
    EXPECT_EQ(current->GetSlot(slot).GetString(), u"main");

    std::atomic<int> released{0};
    Value seen_on_thread;
    Ref<Mt::Thread> thread = Start([&] {
        seen_on_thread = Mt::GetCurrentThread()->GetSlot(slot);
        Mt::GetCurrentThread()->SetSlot(slot, Value(Object::New<ReleaseFlag>(released)));
    });
    thread->Join(true);
    EXPECT_TRUE(seen_on_thread.IsEmpty());
    EXPECT_EQ(released, 1);  // the thread's slots go with the thread
    EXPECT_EQ(current->GetSlot(slot).GetString(), u"main");

    current->SetSlot(slot, Value());
    EXPECT_TRUE(current->GetSlot(slot).IsEmpty());
}

TEST(CurrentThread, CheckInterruptThrowsOnlyAfterInterrupt) {
    Ref<Mt::EventBasedBlocker> interrupted = NewEvent();
    Ref<Mt::EventBasedBlocker> go_on = NewEvent();
    Error before;
    Error after;
    Ref<Mt::Thread> thread = Start([&] {
        Ref<Mt::CurrentThread> current = Mt::GetCurrentThread();
        try {
            current->CheckInterrupt();
            Mt::CheckInterrupt();
        } catch (const Error& error) {
            before = error;
        }
        interrupted->Set();
        go_on->Wait();  // the interrupt ends this wait
    });
    interrupted->Wait();
    EXPECT_FALSE(before.IsSet());
    EXPECT_FALSE(thread->IsInterrupted());
    thread->Interrupt();
    EXPECT_TRUE(thread->IsInterrupted());
    thread->Join(true);

    Error error = thread->GetError();
    ASSERT_TRUE(error.Has(ErrInterrupt));
    ScopedLanguage english(0x0409);
    EXPECT_EQ(error.GetText(), u"An internal error occurred (error: interrupt).");
}

TEST(CurrentThread, InterruptEndsSleepAndTellsInterrupters) {
    class Told final : public Object::Impl<Told, Mt::Interrupter> {
    public:
        void OnInterrupt() override { ++count; }
        std::atomic<int> count{0};
    };
    Ref<Told> told = Object::New<Told>();
    Ref<Mt::EventBasedBlocker> registered = NewEvent();
    Ref<Mt::Thread> thread = Start([&] {
        Ref<BaseFace> registration = Mt::GetCurrentThread()->RegisterInterrupter(told);
        registered->Set();
        Mt::GetCurrentThread()->Sleep(Mt::Platform::kInfinite);
    });
    registered->Wait();
    thread->Join();  // interrupts first
    EXPECT_TRUE(thread->GetError().Has(ErrInterrupt));
    EXPECT_EQ(told->count, 1);

    Mt::GetCurrentThread()->Sleep(1);  // not interrupted: just returns
}

TEST(CurrentThread, FailingInitializeIsThrownByStartThreadAfterTheThreadEnded) {
    std::atomic<int> released{0};
    bool ran = false;
    try {
        Start([&] { ran = true; },
              [&] {
                  Mt::GetCurrentThread()->SetSlot(BaseString(u"TID_Test::Flag"),
                                                  Value(Object::New<ReleaseFlag>(released)));
                  throw Error::Internal("init-failed(%d)", "test", 7);
              });
        FAIL() << "StartThread returned";
    } catch (const Error& error) {
        ScopedLanguage english(0x0409);
        EXPECT_EQ(error.GetText(), u"An internal error occurred (test: init-failed(7)).");
    }
    EXPECT_EQ(released, 1);
    EXPECT_FALSE(ran);
}

TEST(CurrentThread, InitializeRunsBeforeStartThreadReturnsAndRunAfter) {
    std::atomic<int> step{0};
    int seen_by_initialize = -1;
    Ref<Mt::EventBasedBlocker> go = NewEvent();
    Ref<Mt::Thread> thread = Start(
        [&] {
            go->Wait();
            step = 2;
        },
        [&] { seen_by_initialize = step.exchange(1); });
    EXPECT_EQ(seen_by_initialize, 0);
    EXPECT_EQ(step, 1);
    go->Set();
    thread->GetEndBlocker()->Wait();
    EXPECT_EQ(step, 2);
    EXPECT_FALSE(thread->GetError().IsSet());
}

TEST(CurrentThread, AnInterruptedStarterStopsTheThreadItStarts) {
    Ref<Mt::EventBasedBlocker> initializing = NewEvent();
    Ref<Mt::Thread> inner;
    Error inner_error;
    Ref<Mt::Thread> starter = Start([&] {
        try {
            inner = Start([] {},
                          [&] {
                              initializing->Set();
                              Mt::GetCurrentThread()->Sleep(Mt::Platform::kInfinite);
                          });
        } catch (const Error& error) {
            inner_error = error;
        }
    });
    initializing->Wait();
    starter->Join();
    EXPECT_TRUE(inner_error.Has(ErrInterrupt));
    EXPECT_FALSE(inner);
}

TEST(CurrentThread, SlotNotificationsFollowEveryStartedThread) {
    Ref<ThreadRecorder> recorder = Object::New<ThreadRecorder>();
    Ref<Mt::CurrentThread> current = Mt::GetCurrentThread();
    const BaseString slot(u"TID_Test::Recorder");
    current->SetSlot(slot, Value(recorder));

    Value started_slot;
    for (int i = 0; i < 2; ++i) {
        Start([&] {
            started_slot = Mt::GetCurrentThread()->GetSlot(BaseString(u"TID_Test::Started"));
        })->Join(true);
        EXPECT_EQ(started_slot.GetInteger(), 1);  // set on the new thread, before its run
    }
    current->SetSlot(slot, Value());

    ASSERT_EQ(recorder->started.size(), 2u);
    EXPECT_NE(recorder->started[0], current->GetThreadId());
    EXPECT_NE(recorder->started[1], recorder->started[0]);
    EXPECT_EQ(recorder->ended, 2);
    EXPECT_TRUE(current->GetSlot(BaseString(u"TID_Test::Started")).IsEmpty());
}

TEST(CurrentThread, AThreadJoiningItselfIsNotLeftWaiting) {
    Ref<Mt::Thread> thread = Start([] { Mt::GetCurrentThread()->GetThread()->Join(true); });
    thread->Join(true);
    EXPECT_FALSE(thread->GetError().IsSet());
}

TEST(CurrentThread, ServedThroughTheManager) {
    Ref<Object::Manager> manager = Object::GetManager();
    for (const char16_t* clsid :
         {u"CID_Mt::CurrentThreadImpl", u"CID_Mt::AutoEventBasedBlocker",
          u"CID_Mt::ManualEventBasedBlocker", u"CID_Mt::TimeBasedBlocker", u"CID_Mt::MultiBlocker",
          u"CID_Mt::MultiBlockerAll", u"CID_Mt::Win32::EventFactory", u"CID_Mt::EventLoop",
          u"CID_Mt::BackgroundLoop"}) {
        EXPECT_TRUE(manager->HasClass(BaseString(clsid))) << Utf8(BaseString(clsid));
    }
    Ref<Mt::CurrentThread> first = Mt::GetCurrentThread();
    EXPECT_TRUE(first == Mt::GetCurrentThread());
    EXPECT_TRUE(first->GetThread() == first->GetThread());
}

}  // namespace
