#include <gtest/gtest.h>

#include <string>

#include "base/long_path_win.h"
#include "test_support.h"

namespace {

// Long full paths go to the file calls in the extended form and come back
// from the system in the plain one; short and relative paths stay as they are.
TEST(LongPathText, TakesFullPathsPastTheLimitToTheExtendedFormAndBack) {
    const std::u16string deep = u"\\" + std::u16string(kLongPathLength, u'a');
    struct Case {
        const char* rule;
        std::u16string plain;
        std::u16string extended;
    } cases[] = {
        {"a short path", u"C:\\a\\b", u"C:\\a\\b"},
        {"a long path on a drive", u"C:" + deep, u"\\\\?\\C:" + deep},
        {"a long path on a share", u"\\\\server\\share" + deep,
         u"\\\\?\\UNC\\server\\share" + deep},
        {"a long relative path", u"rsc" + deep, u"rsc" + deep},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LongPathText(BaseString(c.plain)), c.extended) << c.rule;
        EXPECT_EQ(PlainPathText(BaseString(c.extended)), c.plain) << c.rule;
    }
    // A path the system already gave in the extended form is not made twice.
    BaseString extended(u"\\\\?\\C:" + deep);
    EXPECT_EQ(LongPathText(extended), extended);
}

}  // namespace
