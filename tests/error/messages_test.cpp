#include <gtest/gtest.h>

#include "error/error.h"
#include "launcher/texts.h"
#include "test_support.h"

namespace {

size_t RowCount(const MessageRow* table) {
    size_t rows = 0;
    while (table[rows].text) {
        ++rows;
    }
    return rows;
}

TEST(MessageTables, LookupTakesTheExactLanguageElseTheFirstRow) {
    struct Case {
        uint32_t language;
        std::u16string_view internal;     // 19-row runtime table
        std::u16string_view title;        // 22-row launcher table
        std::u16string_view init_failed;  // 22 rows, English for cs/hu/pl
    } cases[] = {
        {0x0411, u"内部エラーが発生しました (%1: %2)。", u"自動実行",
         u"アプリケーションを初期化できませんでした。"},
        {0x0C0A, u"Se ha producido un error interno (%1: %2).", u"Ejecución automática",
         u"Fallo al inicializar la aplicación."},
        {0x080A, u"An internal error occurred (%1: %2).", u"Autorun",
         u"Failed to initialize the application."},
        {0x0405, u"An internal error occurred (%1: %2).", u"Automatické spuštění",
         u"Failed to initialize the application."},
        {0x0809, u"An internal error occurred (%1: %2).", u"Autorun",
         u"Failed to initialize the application."},
        {0x0816, u"Ocorreu um erro interno (%1: %2).", u"Execução automática",
         u"Ocorreu uma falha ao inicializar a aplicação."},
        {0x0416, u"Ocorreu um erro (%1: %2).", u"Execução automática",
         u"Falha ao inicializar o aplicativo."},
    };
    for (const Case& c : cases) {
        ScopedLanguage language(c.language);
        EXPECT_EQ(std::u16string_view(LocalizedText(InternalErrorText)), c.internal) << c.language;
        EXPECT_EQ(std::u16string_view(LocalizedText(DialogTitleText)), c.title) << c.language;
        EXPECT_EQ(std::u16string_view(LocalizedText(InitFailedText)), c.init_failed) << c.language;
    }
}

TEST(MessageTables, RowsAndTheirOrder) {
    const uint32_t order[] = {0x0409, 0x0404, 0x0406, 0x0407, 0x0408, 0x0410, 0x0411, 0x0412,
                              0x0413, 0x0414, 0x0416, 0x0419, 0x041D, 0x041F, 0x040B, 0x040C,
                              0x0804, 0x0816, 0x0C0A, 0x0405, 0x040E, 0x0415};
    for (const MessageRow* table : {BadFormatText, InternalErrorText}) {
        ASSERT_EQ(RowCount(table), 19u);
        for (size_t i = 0; i < 19; ++i) {
            EXPECT_EQ(table[i].language, order[i]);
        }
    }
    for (const MessageRow* table :
         {InstanceTitleText, DialogTitleText, BrowserWidthText, BrowserHeightText, InitFailedText,
          TemplateSyntaxText, DataFormatText, LanguageFormatText, WebEngineMissingText}) {
        ASSERT_EQ(RowCount(table), 22u);
        for (size_t i = 0; i < 22; ++i) {
            EXPECT_EQ(table[i].language, order[i]);
        }
    }
    for (size_t i = 0; i < 22; ++i) {
        EXPECT_EQ(std::u16string_view(InstanceTitleText[i].text), DialogTitleText[i].text);
        EXPECT_EQ(std::u16string_view(BrowserWidthText[i].text), u"670");
        EXPECT_EQ(std::u16string_view(BrowserHeightText[i].text), u"490");
    }
}

TEST(MessageTables, InternalErrorsFollowTheLanguage) {
    ScopedLanguage japanese(0x0411);
    Error error = Error::Internal("bad-lng-prop(%d)", "nls", 3);
    EXPECT_EQ(error.GetText(), u"内部エラーが発生しました (nls: bad-lng-prop(3))。");
    ScopedLanguage czech(0x0405);
    EXPECT_EQ(Error(ErrBadFormat, BaseString(), false).GetText(),
              u"The data have incorrect format.");
}

}  // namespace
