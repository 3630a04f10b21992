#include <gtest/gtest.h>

#include "base/platform.h"
#include "base/processor.h"

namespace {

// The machines this runs on are x86 or ARM ones. The answer is the machine's
// whatever the program was built for, so it agrees with the system's word
// size, which a 32-bit Windows build learns through WOW64.
TEST(NativeProcessor, IsTheMachinesAndAgreesWithTheSystemsWordSize) {
    Base::Processor processor = Base::NativeProcessor();
    ASSERT_NE(processor, Base::Processor::kOther);
    EXPECT_EQ(processor != Base::Processor::kX86, Base::IsSystem64Bit());
}

}  // namespace
