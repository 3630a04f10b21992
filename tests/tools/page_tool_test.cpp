#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "error/system_text.h"
#include "test_medium.h"

namespace {

constexpr char kData[] =
    "<content><translations>"
    "<L0409><string id='hello' value='Hello'/></L0409>"
    "<L0411><string id='hello' "
    "value='\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF'/></L0411>"
    "</translations><data><group title='G'><entry n='1'/><entry n='2' visibility='CID_Test::Two'/>"
    "</group></data></content>";
constexpr char kTemplate[] =
    "<p>#hello# %%lang</p><%group%><ul><%entry%><li>%%entry.n%%/%%counter</li></%entry%></ul>"
    "</%group%><end>";

TEST(PageTool, PrintsThePageInTheChosenLanguage) {
    TestMedium medium(kTemplate, kData);
    struct Case {
        std::vector<std::string> options;
        std::string out;
    } cases[] = {
        {{"--lang", "0409"},
         "<p>Hello 0409</p><ul><li>1/2</li><div id=\"vis3\"><li>2/3</li></div></ul><end>"},
        {{"--lang", "0411"},
         "<p>\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF 0411</p><ul><li>1/2</li>"
         "<div id=\"vis3\"><li>2/3</li></div></ul><end>"},
        // No German strings: English, and the page language with them.
        {{"--lang", "0407"},
         "<p>Hello 0409</p><ul><li>1/2</li><div id=\"vis3\"><li>2/3</li></div></ul><end>"},
        {{"--visibility", "--lang", "0409"}, "vis3\tCID_Test::Two\tnot served\n"},
    };
    for (const Case& c : cases) {
        ToolRun run = medium.Run(c.options);
        EXPECT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, "");
    }
}

// The test plug-ins built for the tool, by name.
std::filesystem::path TestPlugin(const std::string& name) {
    return std::filesystem::path(TEST_PLUGIN_FOLDER) / (name + TEST_PLUGIN_SUFFIX);
}

// --visibility loads the medium's plug-ins as the launcher does: in name order,
// passing over files that are not plug-in libraries and one whose start-up
// fails. For each bound element it names the file whose page extension the
// launcher would create. Printing the page runs no plug-in code.
TEST(PageTool, VisibilityNamesThePluginThatServesEachClass) {
    TestMedium medium(
        "<%e%>x</%e%>",
        "<content><data><e visibility='CID_Test::Extension'/>"
        "<e visibility='CID_Test::b_extensions'/><e visibility='CID_Test::c_extensions'/>"
        "<e visibility='CID_Test::NotAnExtension'/><e visibility='CID_Test::Missing'/>"
        "</data></content>");
    for (const char* name : {"c_extensions", "b_extensions", "a_extensions"}) {
        medium.AddPlugin(TestPlugin(name));
    }
    medium.WriteFile(u"rsc/plugins/0-notes" TEST_PLUGIN_SUFFIX, "not a library");
    medium.WriteFile(u"rsc/plugins/readme.txt", "not a library either");

    ToolRun page = medium.Run({"--lang", "0409"});
    EXPECT_EQ(page.exit_code, 0) << page.err;
    EXPECT_EQ(medium.ReadFile(u"plugin-marks.txt"), "");

    ToolRun run = medium.Run({"--visibility"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::string folder = "rsc/plugins/";
    EXPECT_EQ(run.out, "vis1\tCID_Test::Extension\t" + folder +
                           "a_extensions" TEST_PLUGIN_SUFFIX "\n" +
                           "vis2\tCID_Test::b_extensions\t" + folder +
                           "b_extensions" TEST_PLUGIN_SUFFIX
                           "\n"
                           "vis3\tCID_Test::c_extensions\tnot served\n"
                           "vis4\tCID_Test::NotAnExtension\tnot served\n"
                           "vis5\tCID_Test::Missing\tnot served\n");
    EXPECT_EQ(medium.ReadFile(u"plugin-marks.txt"),
              "a_extensions started\nb_extensions started\nc_extensions started\n");
}

// A class the medium declares in rsc/extensions.xml is served by the standard
// plug-in: --visibility names the declaration. An assumption overrides
// whatever serves a class.
TEST(PageTool, VisibilityNamesDeclarationsAndAssumptions) {
    TestMedium medium("<%e%>x</%e%>",
                      "<content><data><e visibility='CID_Test::Declared'/>"
                      "<e visibility='CID_Test::a_extensions'/><e visibility='CID_Test::Missing'/>"
                      "</data></content>");
    medium.AddPlugin(DECLARED_PLUGIN_PATH);
    medium.AddPlugin(TestPlugin("a_extensions"));
    medium.WriteFile(u"rsc/extensions.xml",
                     "<extensions>\n\n  <extension class='CID_Test::Declared'/>\n</extensions>");
    ToolRun run = medium.Run({"--visibility"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out,
              "vis1\tCID_Test::Declared\trsc/extensions.xml:3\n"
              "vis2\tCID_Test::a_extensions\trsc/plugins/a_extensions" TEST_PLUGIN_SUFFIX
              "\n"
              "vis3\tCID_Test::Missing\tnot served\n");
    run = medium.Run({"--visibility", "--assume", "CID_Test::Declared=hidden", "--assume",
                      "CID_Test::Missing=shown"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out,
              "vis1\tCID_Test::Declared\tassumed hidden\n"
              "vis2\tCID_Test::a_extensions\trsc/plugins/a_extensions" TEST_PLUGIN_SUFFIX
              "\n"
              "vis3\tCID_Test::Missing\tassumed shown\n");
}

TEST(PageTool, TemplateBytesAsTheLauncherDecodesThem) {
    struct Case {
        std::string_view page_template;
        std::string out;
    } cases[] = {
        {"\xEF\xBB\xBFmarked", "\xEF\xBB\xBFmarked"},
        {std::string_view("cut\0rest", 8), "cut"},
        {"caf\xC3\xA9 \xE6\x9D", "caf\xC3\xA9 "},
    };
    for (const Case& c : cases) {
        TestMedium medium(c.page_template, "<content><data/></content>");
        ToolRun run = medium.Run({"--lang", "0409"});
        EXPECT_EQ(run.exit_code, 0);
        EXPECT_EQ(run.out, c.out);
    }
}

TEST(PageTool, FailuresPrintTheLauncherMessage) {
    const std::string failed = "Failed to initialize the application.\n";
    const std::string missing = failed + SystemErrorText(2).ToUtf8() + "\n";
    struct Case {
        std::string_view page_template;
        std::string_view data;
        std::string err;
    } cases[] = {
        {"", "<content><data/></content>", missing},
        {"page", "", missing},
        {"<%open%>", "<content><data/></content>", failed + "Syntax error in the HTML template.\n"},
        {"page", "<content><data><a></b></data></content>",
         failed + "An internal error occurred (xml: xml-parser-syntax-struc(1:22)).\n"},
        {"page", "<content><translations><L0409><x/></L0409></translations><data/></content>",
         failed + "Incorrect format in XML language file.\n"},
        {"page", "<content><other/></content>", failed + "Incorrect format in XML data file.\n"},
    };
    for (const Case& c : cases) {
        TestMedium medium(c.page_template, c.data);
        ToolRun run = medium.Run({"--lang", "0409"});
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.err) << c.page_template << " | " << c.data;
    }
}

TEST(PageTool, BadUsage) {
    TestMedium medium("page", "<content><data/></content>");
    for (std::vector<std::string> options : {std::vector<std::string>{"--lang", "40C"},
                                             {"--lang", "040C"},
                                             {"--frobnicate"},
                                             {"one", "two"},
                                             {"--lang"},
                                             {"--preview"},
                                             {"--preview", "out", "--lang", "0407"},
                                             {"--visibility", "--preview", "out"},
                                             {"--check", "--visibility"},
                                             {"--check", "--lang", "0409"},
                                             {"--check", "--check"},
                                             {"--check", "--preview", "out"},
                                             {"--version", "."},
                                             {"--assume", "CID_A=shown"},
                                             {"--check", "--assume", "CID_A=shown"},
                                             {"--visibility", "--assume", "CID_A=visible"},
                                             {"--visibility", "--assume", "=shown"},
                                             {"--visibility", "--assume"}}) {
        ToolRun run = RunPageTool(options, medium.Dir());
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_EQ(
            run.err,
            "usage: autorun-page [--lang XXXX] [--visibility [--assume CLASS=shown|hidden]...] "
            "[DIR]\n"
            "       autorun-page --check [DIR]\n"
            "       autorun-page --preview OUTDIR [--assume CLASS=shown|hidden]... [DIR]\n"
            "       autorun-page --version\n");
    }
}

}  // namespace
