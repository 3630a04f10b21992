// Runs with LC_ALL=de_DE.UTF-8 (see CMakeLists.txt), natively and under Wine.
#include <gtest/gtest.h>

#include "error/error.h"
#include "base/locale.h"

namespace {

TEST(UserLocale, AGermanUserGetsGermanMessages) {
    EXPECT_EQ(Base::UserDefaultUILanguage(), 0x0407u);
    EXPECT_EQ(Base::UserDefaultLangId(), 0x0407u);
    EXPECT_EQ(Error::Internal("probe(%d)", "test", 1).GetText(),
              u"Interner Fehler (test: probe(1)).");
}

}  // namespace
