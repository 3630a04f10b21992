#include <gtest/gtest.h>

#include <filesystem>

#include "error/system_text.h"
#include "run_tool.h"
#include "temp_folder.h"
#include "test_medium.h"

namespace {

// Run with LC_ALL=fr_FR.UTF-8: the messages come in French.
TEST(PageToolLocale, FailuresInTheUsersLanguage) {
    const std::string failed =
        "\xC3\x89"
        "chec de l'initialisation de l'application.\n";
    struct Case {
        std::string_view data;
        std::string err;
    } cases[] = {
        {"", failed + SystemErrorText(2).ToUtf8() + "\n"},
        {"<content><data></content>",
         failed + "Une erreur interne s'est produite (xml: xml-parser-syntax-struc(1:25)).\n"},
        {"<content><other/></content>", failed + "Format incorrect dans le fichier de donn\xC3\xA9"
                                                 "es XML.\n"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        std::filesystem::create_directory(folder.Native(u"rsc"));
        folder.WriteFile(u"rsc/autorun.tpl", "page");
        if (!c.data.empty()) {
            folder.WriteFile(u"autorun.xml", c.data);
        }
        std::string dir = folder.Native(u"rsc").parent_path().string();
        ToolRun run = RunPageTool({dir}, dir);
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.err, c.err);
    }
}

// The check: the system's own sentences in French, what the check adds to them
// and its warnings in English.
TEST(PageToolLocale, CheckInTheUsersLanguage) {
    TestMedium medium("<%a%>\n</%b%>#x#",
                      "<content><translations><L0409><string id='x'/><string id='x'/></L0409>"
                      "</translations><data><a/></data></content>");
    ToolRun run = medium.Run({"--check"});
    EXPECT_EQ(
        run.out,
        "rsc/autorun.tpl:1:1: error: Erreur de syntaxe dans le mod\xC3\xA8le HTML. Block \"a\" "
        "is never closed: \"</%a%>\" expected.\n"
        "rsc/autorun.tpl:2:1: error: Erreur de syntaxe dans le mod\xC3\xA8le HTML. \"</%b%>\" "
        "does not close the innermost open block: \"</%a%>\" expected.\n"
        "autorun.xml:1:47: error: Format incorrect dans le fichier de langage XML. A second "
        "string with the id \"x\".\n");
    EXPECT_EQ(run.exit_code, 1);
}

}  // namespace
