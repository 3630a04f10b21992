#include <gtest/gtest.h>

#include "object/value.h"
#include "error/error.h"
#include "test_support.h"

namespace {

TEST(Value, TagsAndConversionRule) {
    ScopedLanguage english(0x0409);
    Value integer(7);
    Value text(u"12");
    Value empty;
    EXPECT_EQ(integer.tag(), Value::kInteger);
    EXPECT_EQ(text.tag(), Value::kString);
    EXPECT_EQ(integer.GetInteger(), 7);
    EXPECT_EQ(empty.GetInteger(), 0);
    EXPECT_TRUE(integer.As(Value::kEmpty).IsEmpty());
    EXPECT_EQ(text.GetInteger(true), 12);
    EXPECT_EQ(integer.GetString(true), u"7");

    try {
        text.GetInteger();
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.GetText(), u"An internal error occurred (autorun: val-conv2(2,1)).");
    }
    EXPECT_THROW(Value(u"12x").GetInteger(true), Error);
}

}  // namespace
