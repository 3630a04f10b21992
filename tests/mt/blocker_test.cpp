#include <gtest/gtest.h>

#include "function_runnable.h"
#include "mt/blocker.h"
#include "mt/current_thread.h"
#include "object/manager.h"
#include "test_support.h"

namespace {

Ref<Mt::Win32::EventFactory> Events() {
    return Object::Create<Mt::Win32::EventFactory>(BaseString(Mt::kEventFactoryClsid));
}

Ref<Mt::MultiBlocker> NewMulti(bool all = false) {
    return Object::Create<Mt::MultiBlocker>(
        BaseString(all ? Mt::kMultiBlockerAllClsid : Mt::kMultiBlockerClsid));
}

Ref<Mt::TimeBasedBlocker> NewTimeout(uint32_t milliseconds) {
    auto timeout = Object::Create<Mt::TimeBasedBlocker>(BaseString(Mt::kTimeBasedBlockerClsid));
    timeout->SetTimeout(milliseconds);
    return timeout;
}

// Waits for any of the blockers, or the time-out; true when the time-out fired.
bool WaitAny(std::initializer_list<Ref<Mt::Blocker>> blockers, uint32_t timeout) {
    Ref<Mt::MultiBlocker> multi = NewMulti();
    for (const auto& blocker : blockers) {
        multi->Add(blocker);
    }
    Ref<Mt::TimeBasedBlocker> time = NewTimeout(timeout);
    multi->Add(time);
    multi->Wait();
    return time->IsFired();
}

TEST(Blockers, AutoResetEventsReleaseOneWaitManualResetOnesStaySet) {
    struct Case {
        const char16_t* clsid;
        bool fires_again;
    } cases[] = {{u"CID_Mt::AutoEventBasedBlocker", false},
                 {u"CID_Mt::ManualEventBasedBlocker", true}};
    for (const Case& c : cases) {
        auto event = Object::Create<Mt::EventBasedBlocker>(BaseString(c.clsid));
        EXPECT_TRUE(WaitAny({event}, 0));
        event->Set();
        EXPECT_FALSE(WaitAny({event}, 0));
        EXPECT_TRUE(event->IsFired());
        EXPECT_EQ(WaitAny({event}, 0), !c.fires_again) << Utf8(BaseString(c.clsid));
        event->Reset();
        EXPECT_TRUE(WaitAny({event}, 0));
        EXPECT_FALSE(event->IsFired());
    }
}

TEST(Blockers, AnyWaitMarksTheBlockerThatFired) {
    auto first = Events()->CreateEvent(true, false);
    auto second = Events()->CreateEvent(true, true);
    auto short_timeout = NewTimeout(5);
    auto long_timeout = NewTimeout(100000);

    Ref<Mt::MultiBlocker> multi = NewMulti();
    for (Ref<Mt::Blocker> blocker :
         std::initializer_list<Ref<Mt::Blocker>>{first, second, short_timeout, long_timeout}) {
        multi->Add(blocker);
    }
    multi->Wait();
    EXPECT_FALSE(first->IsFired());
    EXPECT_TRUE(second->IsFired());
    EXPECT_FALSE(short_timeout->IsFired());

    multi->Remove(second);
    multi->Wait();  // only the shortest time-out is left to end it
    EXPECT_FALSE(first->IsFired());
    EXPECT_TRUE(short_timeout->IsFired());
    EXPECT_FALSE(long_timeout->IsFired());
}

TEST(Blockers, AllWaitReturnsOnceEveryBlockerFired) {
    auto early = Events()->CreateEvent(false, true);
    auto late = Events()->CreateEvent(false, false);
    Ref<Mt::MultiBlocker> all = NewMulti(true);
    all->Add(early);
    all->Add(late);
    all->Add(NewTimeout(1));
    Ref<Mt::Thread> setter = Start([&] {
        Mt::GetCurrentThread()->Sleep(10);
        late->Set();
    });
    all->Wait();
    EXPECT_TRUE(early->IsFired());
    EXPECT_TRUE(late->IsFired());
    setter->Join(true);
}

TEST(Blockers, EndOfAThreadIsABlocker) {
    auto go = Events()->CreateEvent(true, false);
    Ref<Mt::Thread> thread = Start([&] { go->Wait(); });
    Ref<Mt::Blocker> end = thread->GetEndBlocker();
    EXPECT_TRUE(WaitAny({end}, 0));
    go->Set();
    EXPECT_FALSE(WaitAny({end}, Mt::Platform::kInfinite));
    EXPECT_TRUE(end->IsFired());
    end->Wait();  // stays fired
}

TEST(Blockers, MultiBlockerRefusesEmptyAndForeignBlockers) {
    class Foreign final : public Object::Impl<Foreign, Mt::Blocker> {
    public:
        void Wait() override {}
        bool IsFired() override { return false; }
    };
    ScopedLanguage english(0x0409);
    struct Case {
        Ref<Mt::Blocker> blocker;
        const char16_t* text;
    } cases[] = {
        {nullptr, u"An internal error occurred (mt: mblck-null)."},
        {Object::New<Foreign>(), u"An internal error occurred (mt: Cast<IID_Win32::BlockerInfo>)."},
    };
    for (const Case& c : cases) {
        try {
            NewMulti()->Add(c.blocker);
            ADD_FAILURE() << "accepted";
        } catch (const Error& error) {
            EXPECT_EQ(error.GetText(), c.text);
        }
    }
}

TEST(Blockers, MessageQueueWaitTakesTheMessageWithoutDispatchingIt) {
    Ref<Mt::MessageQueueBlocker> queue = Events()->CreateMessageQueueBlocker();
    Ref<Mt::CurrentThread> current = Mt::GetCurrentThread();

    EXPECT_TRUE(WaitAny({queue}, 0));
    ASSERT_TRUE(Mt::PostMessageToThread(current->GetThreadId(), {nullptr, 0x8001, 7, -3}));
    EXPECT_FALSE(WaitAny({queue}, Mt::Platform::kInfinite));
    ASSERT_TRUE(queue->IsFired());
    EXPECT_EQ(queue->GetMessage().id, 0x8001u);
    EXPECT_EQ(queue->GetMessage().wparam, 7u);
    EXPECT_EQ(queue->GetMessage().lparam, -3);
    EXPECT_TRUE(WaitAny({queue}, 0));  // it was taken from the queue

    // From another thread, to a thread that waits.
    auto waiting = Events()->CreateEvent(true, false);
    uint32_t received = 0;
    uint32_t thread_id = 0;
    Ref<Mt::Thread> receiver = Start([&] {
        Ref<Mt::MessageQueueBlocker> own = Events()->CreateMessageQueueBlocker();
        thread_id = Mt::GetCurrentThread()->GetThreadId();
        waiting->Set();
        own->Wait();
        received = own->GetMessage().id;
    });
    waiting->Wait();
    ASSERT_TRUE(Mt::PostMessageToThread(thread_id, {nullptr, 0x8002, 0, 0}));
    receiver->Join(true);
    EXPECT_EQ(received, 0x8002u);
    EXPECT_FALSE(receiver->GetError().IsSet());
}

}  // namespace
