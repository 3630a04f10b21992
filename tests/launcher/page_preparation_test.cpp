#include "launcher/page_preparation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "error/messages.h"
#include "function_runnable.h"
#include "launcher/page/page_language.h"
#include "mt/current_thread.h"

namespace {

constexpr uint32_t kGerman = 0x0407;
constexpr uint32_t kBrokenMedium = 0x4711;

class TextPage final : public LauncherPage {
public:
    explicit TextPage(std::u16string_view text) : text_(text) {}
    const BaseString& text() const override { return text_; }
    const VisibilityMap& visibility() const override { return visibility_; }

private:
    BaseString text_;
    VisibilityMap visibility_;
};

// The page names the language it was built in.
std::unique_ptr<LauncherPage> PageInCurrentLanguage() {
    return std::make_unique<TextPage>(CurrentLanguageId() == kGerman ? u"de" : u"other");
}

std::unique_ptr<LauncherPage> BrokenMedium() {
    throw Error(kBrokenMedium, BaseString(u"broken"), false);
}

// Waits until interrupted.
std::unique_ptr<LauncherPage> EndlessMedium() {
    Mt::GetCurrentThread()->Sleep(120000);
    return std::make_unique<TextPage>(u"late");
}

TEST(PagePreparation, BuildsInTheStartersLanguageAndHandsOverItsFailure) {
    BaseString text;
    Ref<Mt::Thread> starter = Start([&] {
        MakeLanguageCurrentAsLangId(kGerman);
        PagePreparation preparation(PageInCurrentLanguage);
        PagePreparation::Prepared prepared = preparation.Join();
        text = prepared.page->text();
    });
    starter->Join(true);
    EXPECT_FALSE(starter->GetError().IsSet());
    EXPECT_EQ(text, BaseString(u"de"));

    PagePreparation broken(BrokenMedium);
    try {
        broken.Join();
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_TRUE(error.Has(kBrokenMedium));
    }
}

// When the window system fails first, the launcher drops the preparation
// unfinished: that must not wait for the medium.
TEST(PagePreparation, ADroppedPreparationEndsWithoutWaitingForThePage) {
    auto start = std::chrono::steady_clock::now();
    { PagePreparation preparation(EndlessMedium); }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

}  // namespace
