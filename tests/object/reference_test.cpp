#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "object/factory.h"
#include "object/ref.h"
#include "object/zombie.h"
#include "test_faces.h"
#include "test_support.h"

namespace {

TEST(References, QueryWalksInterfaceChainsAndCountsReferences) {
    Ref<TestObject> object = Object::New<TestObject>();
    Ref<Greeter> greeter = SoftCast<Greeter>(object);
    Ref<Counter> counter = SoftCast<Counter>(greeter);
    ASSERT_TRUE(greeter);
    ASSERT_TRUE(counter);
    EXPECT_EQ(counter->Count(), 3);
    EXPECT_EQ(greeter.Identity(), counter.Identity());
    EXPECT_EQ(SoftCast<Object::Factory>(object), Ref<Object::Factory>());
    EXPECT_EQ(TestObject::InterfaceIds(),
              (std::vector<BaseString>{u"IID_Test::LoudGreeter", u"IID_Test::Greeter",
                                       u"IID_Test::Counter", u"IID_BaseFace"}));
    object.Reset();
    greeter.Reset();
    EXPECT_EQ(TestObject::live, 1);
    counter.Reset();
    EXPECT_EQ(TestObject::live, 0);
}

TEST(References, FailedCastNamesTheInterfaceUnderTheCallersModule) {
    ScopedLanguage english(0x0409);
    Ref<TestObject> object = Object::New<TestObject>();
    try {
        Cast<Object::Factory>(object, "xml");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.GetText(), u"An internal error occurred (xml: Cast<IID_Object::Factory>).");
    }
    EXPECT_FALSE(Cast<Greeter>(Ref<Counter>(), "xml"));
}

// An object that tries to revive itself while it is destroyed.
class Dying final : public Object::Impl<Dying, Counter> {
public:
    static inline bool add_ref_during_destruction = true;
    static inline bool query_during_destruction = true;
    ~Dying() {
        add_ref_during_destruction = AddRef();
        query_during_destruction = QueryFace(&Counter::kIid) != nullptr;
    }
    int Count() override { return 0; }
};

TEST(References, DyingObjectRefusesNewReferences) {
    Object::New<Dying>().Reset();
    EXPECT_FALSE(Dying::add_ref_during_destruction);
    EXPECT_FALSE(Dying::query_during_destruction);
}

TEST(References, WeakReferenceOfDeadObjectIsLinkedToTheZombie) {
    // Start from a fresh Zombie (earlier ones live on while linked elsewhere).
    Object::Zombie::ReleaseGlobal();
    int zombies = Object::Zombie::LiveCount();
    Ref<TestObject> object = Object::New<TestObject>();
    WeakRef<Counter> weak{SoftCast<Counter>(object)};
    WeakRef<TestObject> weak_class{object};  // of the class, not of an interface
    {
        WeakRef<Counter> copy = weak;
        EXPECT_EQ(copy.Lock().Identity(), object.Identity());
        EXPECT_EQ(weak_class.Lock().Identity(), object.Identity());
    }
    object.Reset();
    EXPECT_EQ(TestObject::live, 0);
    EXPECT_FALSE(weak.Lock());
    EXPECT_FALSE(weak_class.Lock());
    weak_class.Reset();
    EXPECT_EQ(Object::Zombie::LiveCount(), zombies + 1);

    // Module stop lets go of the global holder; the last link then frees it.
    Object::Zombie::ReleaseGlobal();
    EXPECT_EQ(Object::Zombie::LiveCount(), zombies + 1);
    weak.Reset();
    EXPECT_EQ(Object::Zombie::LiveCount(), zombies);
}

TEST(References, ModuleLockCountsHoldersAndNotesWhenIdle) {
    Object::ModuleLock lock;
    EXPECT_TRUE(lock.IsIdle());
    lock.Lock();
    lock.Lock();
    EXPECT_EQ(lock.State(), 5u);
    lock.Unlock();
    EXPECT_EQ(lock.State(), 3u);
    lock.Unlock();
    EXPECT_TRUE(lock.IsIdle());
    EXPECT_NE(lock.IdleSince(), 0u);
}

TEST(References, EveryLiveObjectHoldsItsModule) {
    uint32_t before = Object::ThisModule().State();
    Ref<TestObject> object = Object::New<TestObject>();
    EXPECT_EQ(Object::ThisModule().State(), before + 2);
    object.Reset();
    EXPECT_EQ(Object::ThisModule().State(), before);
}

// Strong and weak references of one object used from several threads while
// the last strong reference goes away.
TEST(References, StrongAndWeakReferencesRaceAcrossThreads) {
    for (int round = 0; round < 200; ++round) {
        Ref<TestObject> object = Object::New<TestObject>();
        WeakRef<Greeter> weak{Ref<Greeter>(object)};
        std::atomic<bool> go{false};
        std::vector<std::thread> threads;
        for (int t = 0; t < 3; ++t) {
            threads.emplace_back([&] {
                while (!go) {
                }
                for (int i = 0; i < 50; ++i) {
                    WeakRef<Greeter> mine = weak;
                    if (Ref<Greeter> strong = mine.Lock()) {
                        ASSERT_EQ(strong->Greet(), 1);
                        Ref<Counter> counter = SoftCast<Counter>(strong);
                        ASSERT_TRUE(counter);
                    }
                }
            });
        }
        go = true;
        object.Reset();
        for (std::thread& thread : threads) {
            thread.join();
        }
        EXPECT_FALSE(weak.Lock());
    }
    EXPECT_EQ(TestObject::live, 0);
}

}  // namespace
