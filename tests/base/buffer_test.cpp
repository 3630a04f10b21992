#include <gtest/gtest.h>

#include "base/buffer.h"

#include <cstring>

namespace {

TEST(ByteBuffer, ExplicitLengthAndCopyOnWrite) {
    ByteBuffer absent;
    EXPECT_TRUE(absent.empty());
    EXPECT_EQ(absent.data(), nullptr);

    const char bytes[] = {'a', 0, 'b'};
    ByteBuffer a(bytes, 3);
    EXPECT_EQ(a.size(), 3u);
    ByteBuffer b = a;
    EXPECT_EQ(a.data(), b.data());
    b.MutableData()[1] = 'x';
    EXPECT_EQ(a.view(), std::string_view(bytes, 3));
    EXPECT_EQ(b.view(), "axb");

    b.Append(b.data(), b.size());
    EXPECT_EQ(b.view(), "axbaxb");
    b.Resize(8);
    EXPECT_EQ(b.view(), std::string_view("axbaxb\0\0", 8));
    b.Resize(2);
    EXPECT_EQ(b.view(), "ax");

    ByteBuffer shared = b;
    uint8_t* added = b.AppendUninitialized(2);
    added[0] = 'y';
    added[1] = 'z';
    EXPECT_EQ(b.view(), "axyz");
    EXPECT_EQ(shared.view(), "ax");
}

TEST(ByteBuffer, ResetForOverwriteReusesOnlyStorageHeldAlone) {
    ByteBuffer buffer(std::string_view("0123456789"));
    const uint8_t* storage = buffer.data();
    EXPECT_EQ(buffer.ResetForOverwrite(4), storage);
    EXPECT_EQ(buffer.size(), 4u);

    ByteBuffer handed_out = buffer;
    uint8_t* fresh = buffer.ResetForOverwrite(3);
    EXPECT_NE(fresh, storage);
    std::memcpy(fresh, "abc", 3);
    EXPECT_EQ(buffer.view(), "abc");
    EXPECT_EQ(handed_out.view(), "0123");

    EXPECT_NE(buffer.ResetForOverwrite(1000), fresh);
    EXPECT_EQ(buffer.size(), 1000u);
    EXPECT_EQ(buffer.ResetForOverwrite(0), buffer.data());
    EXPECT_TRUE(buffer.empty());
}

}  // namespace
