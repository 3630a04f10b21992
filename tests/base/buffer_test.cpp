#include <gtest/gtest.h>

#include "base/buffer.h"

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
}

}  // namespace
