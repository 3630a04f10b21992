#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "error/error.h"
#include "error/languages.h"
#include "io/file_messages.h"
#include "launcher/texts.h"
#include "test_support.h"

namespace {

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

struct NamedTable {
    const char* name;
    const MessageRow* rows;
};

std::string Hex(uint32_t language) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", language);
    return text;
}

// "" when the table has a row for each language of error/languages.def it must
// have (the runtime's tables those marked so, the launcher's all of them), in
// that order; otherwise what the first wrong row lacks or has too much.
std::string RowProblem(const MessageRow* table, bool runtime_table) {
    size_t row = 0;
    for (const ProductLanguage& language : kProductLanguages) {
        if (runtime_table && !language.runtime_texts) {
            continue;
        }
        if (!table[row].text || table[row].language != language.id) {
            return "row " + std::to_string(row) + " is not the one for " + Hex(language.id) + " (" +
                   language.tag + ")";
        }
        ++row;
    }
    if (table[row].text) {
        return "row " + std::to_string(row) + " is for " + Hex(table[row].language) +
               ", which has no row of its own in error/languages.def or is not marked runtime";
    }
    return "";
}

TEST(MessageTables, HaveTheRowsOfTheProductsLanguagesInTheirOrder) {
    const NamedTable runtime_tables[] = {
        {"BadFormatText", BadFormatText},
        {"InternalErrorText", InternalErrorText},
        {"Io::CannotOpenFileText", Io::CannotOpenFileText},
        {"Io::CannotCreateFileText", Io::CannotCreateFileText},
        {"Io::ReadFileFailedText", Io::ReadFileFailedText},
        {"Io::WriteFileFailedText", Io::WriteFileFailedText},
        {"Io::DeleteFileFailedText", Io::DeleteFileFailedText},
        {"Io::RemoveFolderFailedText", Io::RemoveFolderFailedText},
        {"Io::CannotCreateFolderText", Io::CannotCreateFolderText},
        {"Io::CannotAccessFolderText", Io::CannotAccessFolderText},
    };
    for (const NamedTable& table : runtime_tables) {
        EXPECT_EQ(RowProblem(table.rows, true), "") << table.name;
    }
    const NamedTable launcher_tables[] = {
        {"InstanceTitleText", InstanceTitleText},
        {"DialogTitleText", DialogTitleText},
        {"BrowserWidthText", BrowserWidthText},
        {"BrowserHeightText", BrowserHeightText},
        {"InitFailedText", InitFailedText},
        {"TemplateSyntaxText", TemplateSyntaxText},
        {"DataFormatText", DataFormatText},
        {"LanguageFormatText", LanguageFormatText},
        {"WebEngineMissingText", WebEngineMissingText},
        {"WebEngineTooOldText", WebEngineTooOldText},
    };
    for (const NamedTable& table : launcher_tables) {
        EXPECT_EQ(RowProblem(table.rows, false), "") << table.name;
    }
    for (size_t i = 0; i < std::size(kProductLanguages); ++i) {
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
