#include <gtest/gtest.h>

#include <filesystem>

#include "error/system_text.h"
#include "run_tool.h"
#include "temp_folder.h"

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

}  // namespace
