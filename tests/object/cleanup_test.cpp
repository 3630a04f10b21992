#include <gtest/gtest.h>

#include "object/cleanup.h"
#include "object/impl.h"

namespace {

class SweepItem final : public Object::Impl<SweepItem, Cleanup::Item> {
public:
    explicit SweepItem(int work) : work_left(work) {}
    bool Sweep(bool) override {
        ++sweeps;
        if (nested) {
            Cleanup::GetManager()->Run(true);  // returns at once: a run is in progress
        }
        return work_left-- > 0;
    }
    int work_left;
    int sweeps = 0;
    bool nested = false;
};

TEST(Cleanup, RunSweepsLiveItemsAndRepeatsWhileOneWorks) {
    Ref<Cleanup::Manager> manager = Cleanup::GetManager();
    Ref<SweepItem> busy = Object::New<SweepItem>(2);
    Ref<SweepItem> idle = Object::New<SweepItem>(0);
    busy->nested = true;
    manager->AddItem(busy);
    manager->AddItem(idle);
    manager->AddItem(Object::New<SweepItem>(5));  // dies at once: never swept

    manager->Run(false);
    EXPECT_EQ(busy->sweeps, 1);
    EXPECT_EQ(idle->sweeps, 1);

    manager->Run(true);  // busy works once more, then a pass with no work ends it
    EXPECT_EQ(busy->sweeps, 3);
    EXPECT_EQ(idle->sweeps, 3);
}

}  // namespace
