#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "launcher/single_instance.h"

namespace {

// On POSIX the lock is a file in $XDG_RUNTIME_DIR: keep the test's in a
// folder of its own.
class LockFolder {
public:
    LockFolder() {
        folder_ = std::filesystem::temp_directory_path() /
                  ("orvella-lock-test-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(folder_);
#ifndef _WIN32
        setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
#endif
    }
    ~LockFolder() {
        std::filesystem::remove_all(folder_);
    }

private:
    std::filesystem::path folder_;
};

TEST(SingleInstanceLock, TheFirstHolderKeepsOthersOutUntilItEnds) {
    LockFolder folder;
    std::u16string name = u"orvella-test-" + std::u16string(1, u'a' + std::random_device()() % 26);
    {
        SingleInstanceLock first(name);
        EXPECT_FALSE(first.AnotherInstanceExists());
        SingleInstanceLock second(name);
        EXPECT_TRUE(second.AnotherInstanceExists());
    }
    SingleInstanceLock after(name);
    EXPECT_FALSE(after.AnotherInstanceExists());
}

}  // namespace
