#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "base/memory.h"
#include "base/string.h"

namespace {

TEST(BaseString, CopiesShareStorageUntilOneChanges) {
    BaseString a(u"shared text");
    BaseString b = a;
    EXPECT_TRUE(a.SharesStorageWith(b));
    b += u'!';
    EXPECT_FALSE(a.SharesStorageWith(b));
    EXPECT_EQ(a, u"shared text");
    EXPECT_EQ(b, u"shared text!");

    BaseString c = a;
    c.MutableData()[0] = u'S';
    EXPECT_EQ(a, u"shared text");
    EXPECT_EQ(c, u"Shared text");
}

TEST(BaseString, AllEmptyStringsShareOneInstance) {
    BaseString a;
    BaseString b(u"");
    BaseString c(u"x");
    c.Clear();
    BaseString d = BaseString(u"abc").Substr(3);
    EXPECT_TRUE(a.SharesStorageWith(b));
    EXPECT_TRUE(a.SharesStorageWith(c));
    EXPECT_TRUE(a.SharesStorageWith(d));
    EXPECT_EQ(a.c_str()[0], 0);
}

TEST(BaseString, StorageSizeClasses) {
    // 12 bytes of header, then the characters and the terminating zero.
    struct Case {
        size_t length;
        size_t bytes;
    } cases[] = {
        {1, 16},   {2, 32},   {9, 32},    {10, 64},   {25, 64},   {26, 128},
        {57, 128}, {58, 256}, {121, 256}, {122, 512}, {249, 512}, {250, 768},
    };
    for (const Case& c : cases) {
        BaseString text(std::u16string(c.length, u'a'));
        EXPECT_EQ(text.StorageBytes(), c.bytes) << "length " << c.length;
    }
}

TEST(BaseString, NeverHoldsZero) {
    const char16_t with_zero[] = {u'a', u'b', 0, u'c'};
    BaseString text(with_zero, 4);
    EXPECT_EQ(text.length(), 2u);
    text.Append(std::u16string_view(with_zero, 4));
    EXPECT_EQ(text, u"abab");
    text.Append(u'\0');
    EXPECT_EQ(text.length(), 4u);
}

TEST(BaseString, AppendingItsOwnTextIsSafe) {
    BaseString text(u"abc");
    for (int i = 0; i < 6; ++i) {
        text.Append(text.view());
    }
    EXPECT_EQ(text.length(), 3u * 64);
    EXPECT_EQ(text.view().substr(189), u"abc");
}

TEST(BaseString, AppendUninitializedLeavesSharedCopiesAlone) {
    BaseString text(u"ab");
    BaseString copy = text;
    char16_t* added = text.AppendUninitialized(3);
    added[0] = u'c';
    added[1] = u'd';
    added[2] = u'e';
    text.Truncate(4);
    EXPECT_EQ(text, u"abcd");
    EXPECT_EQ(copy, u"ab");
    EXPECT_EQ(text.c_str()[4], 0);
}

TEST(BaseString, OrdersByCodeUnits) {
    EXPECT_LT(BaseString(u"B"), BaseString(u"a"));
    EXPECT_LT(BaseString(u"ab"), BaseString(u"abc"));
    // A surrogate (0xD800) sorts below U+FFFD by code unit.
    EXPECT_LT(BaseString(u"\xD83D\xDE00"), BaseString(u"\xFFFD"));
}

TEST(BaseString, Utf8RoundTrip) {
    BaseString text = BaseString::FromUtf8("Autorun \xE8\x87\xAA\xE5\x8B\x95 \xF0\x9F\x98\x80");
    EXPECT_EQ(text, u"Autorun 自動 \U0001F600");
    EXPECT_EQ(text.ToUtf8(), "Autorun \xE8\x87\xAA\xE5\x8B\x95 \xF0\x9F\x98\x80");
    EXPECT_EQ(BaseString::FromUtf8("a\xFF"
                                   "b\xC3"),
              u"a\xFFFD"
              u"b\xFFFD");
}

// Freed storage is seen by the observer after the wipe.
std::vector<std::vector<unsigned char>> g_freed;

void RecordFreed(const void* storage, size_t bytes) {
    const unsigned char* p = static_cast<const unsigned char*>(storage);
    g_freed.emplace_back(p, p + bytes);
}

TEST(BaseString, StorageIsWipedBeforeItIsFreed) {
    g_freed.clear();
    Base::SetFreeObserverForTesting(RecordFreed);
    {
        BaseString secret(u"correct horse battery staple");
        BaseString copy = secret;
        copy += u"!";
        secret.Truncate(7);
    }
    Base::SetFreeObserverForTesting(nullptr);
    ASSERT_GE(g_freed.size(), 2u);
    for (const auto& storage : g_freed) {
        for (unsigned char byte : storage) {
            ASSERT_EQ(byte, 0);
        }
    }
}

TEST(BaseString, CopiesRaceAcrossThreads) {
    BaseString shared(u"text read by many threads at once");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared] {
            for (int i = 0; i < 20000; ++i) {
                BaseString copy = shared;
                copy += u'x';
                ASSERT_EQ(copy.length(), shared.length() + 1);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(shared, u"text read by many threads at once");
}

}  // namespace
