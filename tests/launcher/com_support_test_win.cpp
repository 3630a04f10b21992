#include <gtest/gtest.h>

#include "launcher/com_support.h"
#include "mt/current_thread.h"

namespace {

TEST(ComSupport, OneRecordLivesInTheThreadSlotUntilReleased) {
    Ref<Mt::CurrentThread> thread = Mt::GetCurrentThread();
    const BaseString slot(u"TID_ComSupport::Initializer");
    EnsureComInitialized();
    Ref<BaseFace> record = thread->GetSlot(slot).GetFace();
    ASSERT_TRUE(record);
    EnsureComInitialized();
    EXPECT_TRUE(thread->GetSlot(slot).GetFace() == record);
    ReleaseComInitialization();
    EXPECT_TRUE(thread->GetSlot(slot).IsEmpty());
}

}  // namespace
