// autorun-page --check from outside, as media authors and their build scripts
// run it: every finding as "FILE:LINE:COLUMN: error|warning: message".
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "error/system_text.h"
#include "test_medium.h"

namespace {

const bool kPosix = Base::kPathSeparator == u'/';

struct Case {
    const char* what;
    std::string_view page_template;  // empty: no template file
    std::string_view data;           // empty: no data file
    std::string findings;
};

void ExpectFindings(const Case& c) {
    SCOPED_TRACE(c.what);
    TestMedium medium(c.page_template, c.data);
    ToolRun run = medium.Run({"--check"});
    EXPECT_EQ(run.out, c.findings);
    EXPECT_EQ(run.err, "");
    bool has_error = c.findings.find(": error: ") != std::string::npos;
    EXPECT_EQ(run.exit_code, has_error ? 1 : 0);
}

constexpr char kNoItems[] = "<content><data/></content>";
const std::string kSyntax = "error: Syntax error in the HTML template. ";

const std::string kSignIt = "; sign it with an RSA certificate and a time stamp\n";
const std::string kUnsignedProgram =
    "warning: no Authenticode signature: where Smart App Control is on (Windows 11), Windows "
    "refuses to start it unless Microsoft's cloud service knows the file; started from a "
    "downloaded image, SmartScreen first warns of an unknown publisher (\"Windows protected "
    "your PC\")" +
    kSignIt;
const std::string kDllConsequence =
    "where Smart App Control is on (Windows 11), Windows refuses to load it unless Microsoft's "
    "cloud service knows the file, and the program that uses it fails" +
    kSignIt;
const std::string kUnsignedDll = "warning: no Authenticode signature: " + kDllConsequence;

// The warnings for the plug-ins copied into a medium's rsc/plugins/, in order
// of their names: the plug-ins a Windows build makes are DLLs without a
// signature; the tool does not look at a shared object.
std::string UnsignedPlugins(std::vector<std::filesystem::path> plugins) {
    std::sort(plugins.begin(), plugins.end(),
              [](const auto& a, const auto& b) { return a.filename() < b.filename(); });
    std::string lines;
    for (const std::filesystem::path& plugin : plugins) {
        if (plugin.extension() == ".dll") {
            lines += "rsc/plugins/" + plugin.filename().string() + ": " + kUnsignedDll;
        }
    }
    return lines;
}

TEST(PageCheck, TemplateSyntaxErrorsAtTheOffendingTag) {
    const Case cases[] = {
        {"an opener without %>", "<p>\n<%a", kNoItems,
         "rsc/autorun.tpl:2:1: " + kSyntax + "\"<%\" has no \"%>\" after it.\n"},
        {"a closing tag without %>", "<%a%>x</%a", "<content><data><a/></data></content>",
         "rsc/autorun.tpl:1:1: " + kSyntax +
             "Block \"a\" is never closed: \"</%a%>\" expected.\n"
             "rsc/autorun.tpl:1:7: " +
             kSyntax + "\"</%\" has no \"%>\" after it.\n"},
        {"a closing tag with no open block", "a</%b%>", kNoItems,
         "rsc/autorun.tpl:1:2: " + kSyntax + "\"</%b%>\" closes no open block.\n"},
        {"a closing tag of another block", "<%a%><%b%>\n</%a%>",
         "<content><data><a><b/></a></data></content>",
         "rsc/autorun.tpl:2:1: " + kSyntax +
             "\"</%a%>\" does not close the innermost open block: \"</%b%>\" expected.\n"},
        {"a block left open", "<%a%>\n  <%b%>x</%b%>",
         "<content><data><a><b/></a></data></content>",
         "rsc/autorun.tpl:1:1: " + kSyntax + "Block \"a\" is never closed: \"</%a%>\" expected.\n"},
        {"a block inside its namesake", "<%a%>\t<%a%></%a%></%a%>",
         "<content><data><a/></data></content>",
         "rsc/autorun.tpl:1:7: " + kSyntax +
             "Block \"a\" is inside a block of the same name.\n"
             "rsc/autorun.tpl:1:7: warning: block \"a\" is never used: \"a\" items use the first "
             "block of that name\n"},
        // Columns count characters; a byte-order mark takes none.
        {"columns after a mark and wide characters", "\xEF\xBB\xBF\xC3\xA9\xE6\x9D\xB1</%x%>",
         kNoItems, "rsc/autorun.tpl:1:3: " + kSyntax + "\"</%x%>\" closes no open block.\n"},
    };
    for (const Case& c : cases) {
        ExpectFindings(c);
    }
}

TEST(PageCheck, DataFileErrorsAtTheOffendingNode) {
    const std::string language = "error: Incorrect format in XML language file. ";
    const std::string data = "error: Incorrect format in XML data file. ";
    const Case cases[] = {
        {"XML syntax", "page", "<content>\n  <data></datum>\n</content>",
         "autorun.xml:2:16: error: An internal error occurred (xml: "
         "xml-parser-syntax-struc(2:16)).\n"},
        {"a comment beside content", "page", "<!-- menu -->\n<content><data/></content>",
         "autorun.xml:1:1: " + language +
             "The document holds one element, \"content\", and nothing else.\n"},
        {"another root", "page", "<menu><data/></menu>",
         "autorun.xml:1:1: " + language +
             "The document holds one element, \"content\", and nothing else.\n"},
        {"an empty content", "page", "<content/>",
         "autorun.xml:1:1: " + language + "\"content\" has no child nodes.\n"},
        {"a language element holding something else", "#a#",
         "<content><translations><L0409>\n"
         "  <string id='a' value='A'/><!--old-->\n"
         "</L0409></translations><data/></content>",
         "autorun.xml:2:29: " + language + "A language element holds only \"string\" elements.\n"},
        {"a language element's text that reads \"string\"", "#a#",
         "<content><translations><L0409>string</L0409></translations><data/></content>",
         "rsc/autorun.tpl:1:1: warning: \"#a#\": no language defines it, it appears as "
         "written\n"
         "autorun.xml:1:31: error: An internal error occurred (autorun: "
         "Cast<IID_Xml::Element>). This \"string\" is text, not an element.\n"},
        {"a key twice in a language that is not English", "#a#",
         "<content><translations>\n"
         "<L0409><string id='a' value='A'/></L0409>\n"
         "<L0407><string id='a' value='A'/><string id='a' value='B'/></L0407>\n"
         "</translations><data/></content>",
         "autorun.xml:3:34: " + language + "A second string with the id \"a\".\n"},
        {"no data section", "page", "<content>\n<items/></content>",
         "autorun.xml:1:1: " + data + "\"content\" has no \"data\" element.\n"},
        {"text and comments among the items", "<%i%>i</%i%>",
         "<content><data>\n  <i> </i>\n  <!--x-->\n</data></content>",
         "autorun.xml:2:6: error: An internal error occurred (autorun: "
         "Cast<IID_Xml::ParentNode>). Only elements stand below \"data\".\n"
         "autorun.xml:3:3: error: An internal error occurred (autorun: "
         "Cast<IID_Xml::ParentNode>). Only elements stand below \"data\".\n"},
    };
    for (const Case& c : cases) {
        ExpectFindings(c);
    }
}

// The system's message for a file it cannot open, on one line.
TEST(PageCheck, MissingFiles) {
    std::string missing = SystemErrorText(2).ToUtf8();
    while (!missing.empty() && (missing.back() == ' ' || missing.back() == '\r')) {
        missing.pop_back();
    }
    missing += "\n";
    const std::pair<std::string_view, std::string_view> cases[][2] = {
        {{"", kNoItems}, {"rsc/autorun.tpl:1:1: error: ", "autorun.tpl"}},
        {{"page", ""}, {"autorun.xml:1:1: error: ", "autorun.xml"}},
    };
    for (const auto& [files, expected] : cases) {
        TestMedium medium(files.first, files.second);
        ToolRun run = medium.Run({"--check"});
        const auto& [start, name] = expected;
        EXPECT_EQ(run.out.substr(0, start.size()), start);
        EXPECT_NE(run.out.find(name, start.size()), std::string::npos) << run.out;
        ASSERT_GE(run.out.size(), missing.size());
        EXPECT_EQ(run.out.substr(run.out.size() - missing.size()), missing);
        EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << run.out;
        EXPECT_EQ(run.exit_code, 1);
    }
}

// A folder where a file should be: an error at the file, on one line.
TEST(PageCheck, FoldersInPlaceOfFiles) {
    for (std::u16string_view name : {u"rsc/autorun.tpl", u"autorun.xml"}) {
        TestMedium medium("page", kNoItems);
        std::filesystem::remove(medium.Native(name));
        std::filesystem::create_directory(medium.Native(name));
        ToolRun run = medium.Run({"--check"});
        std::string start = std::filesystem::path(name).generic_string() + ":1:1: error: ";
        EXPECT_EQ(run.out.substr(0, start.size()), start) << run.out;
        EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << run.out;
        EXPECT_EQ(run.exit_code, 1);
    }
}

TEST(PageCheck, TranslationKeys) {
    const Case cases[] = {
        {"a key some languages do not define, one no language defines", "<p>#a# #b# #c#</p>",
         "<content><translations>\n"
         "<L0409><string id='a' value='A'/><string id='b' value='B'/></L0409>\n"
         "<L0407><string id='a' value='A'/></L0407>\n"
         "<L040c><string id='a' value='A'/></L040c>\n"
         "</translations><data/></content>",
         "rsc/autorun.tpl:1:8: warning: \"#b#\" is not defined in L0407, L040c: it appears as "
         "written on those pages\n"
         "rsc/autorun.tpl:1:12: warning: \"#c#\": no language defines it, it appears as "
         "written\n"},
        {"a key in an item's attribute", "<%i%>%%i.title%%</%i%>",
         "<content><translations><L0409><string id='a' value='A'/></L0409></translations>\n"
         "<data><i title='#a#'/>\n<i title='x #z#'/></data></content>",
         "autorun.xml:3:1: warning: \"#z#\" (attribute \"title\"): no language defines it, it "
         "appears as written\n"},
        {"a key defined but never used; one used inside another's text", "#a#",
         "<content><translations><L0409>\n"
         "<string id='a' value='#b#'/>\n"
         "<string id='b' value='B'/>\n"
         "<string id='spare' value='S'/>\n"
         "</L0409></translations><data/></content>",
         "autorun.xml:4:1: warning: \"#spare#\" is defined but never used\n"},
        {"colours, fragments and references are no keys",
         "<style>a{color:#fff}b{color:#000}</style><b title='#top'>&#35;1</b>#", kNoItems, ""},
        {"language elements the launcher never chooses", "#a#",
         "<content><translations>\n"
         "<L0409><string id='a' value='A'/></L0409>\n"
         "<L0C0A><string id='a' value='B'/></L0C0A>\n"
         "<L0409/>\n"
         "</translations><data/></content>",
         "autorun.xml:3:1: warning: \"L0C0A\" is never chosen: a language element is named \"L\" "
         "and the language identifier in four lower-case hexadecimal digits\n"
         "autorun.xml:4:1: warning: a second \"L0409\" is never chosen: only the first element "
         "of a language counts\n"},
    };
    for (const Case& c : cases) {
        ExpectFindings(c);
    }
}

TEST(PageCheck, ItemsAndBlocks) {
    const Case cases[] = {
        {"an item without a block", "<%a%>a</%a%>",
         "<content><data>\n<a/>\n<b/><b/></data></content>",
         "autorun.xml:3:1: warning: no block \"b\" in rsc/autorun.tpl: \"b\" items do not appear "
         "on the page\n"},
        {"blocks no item uses", "<%a%>a</%a%>\n<%b%>b</%b%>\n<%g%>[<%a%>x</%a%>]</%g%>",
         "<content><data><a/><g/></data></content>",
         "rsc/autorun.tpl:2:1: warning: block \"b\" is used by no item of autorun.xml\n"
         "rsc/autorun.tpl:3:7: warning: block \"a\" is never used: \"a\" items use the first "
         "block of that name\n"},
    };
    for (const Case& c : cases) {
        ExpectFindings(c);
    }
}

TEST(PageCheck, Links) {
    const std::string nowhere = kPosix ? "/nonexistent/setup" : "C:\\nonexistent\\setup.exe";
    const std::string full_path_template = "<a href='run:" + nowhere + "'>x</a>";
    const Case cases[] = {
        {"run: targets are files in the launcher's folder",
         "<a href=\"run:Tools/setup.exe\">x</a>\n<a href='run:README.txt'>y</a>", kNoItems,
         "rsc/autorun.tpl:1:10: warning: \"run:Tools/setup.exe\": no \"setup.exe\" beside the "
         "launcher (a \"run:\" link starts a file from the launcher's own folder)\n"},
        {"a full path that does not exist", full_path_template, kNoItems,
         "rsc/autorun.tpl:1:10: warning: \"run:" + nowhere + "\": \"" + nowhere +
             "\" does not exist\n"},
        {"a link made from an item's attribute is found at the item",
         "<%e%><a href=\"%%e.href%%\">%%e.title%%</a></%e%>",
         "<content><data>\n<e href='run:README.txt'/>\n<e href='run:My%20Setup.exe'/>\n"
         "</data></content>",
         "autorun.xml:3:1: warning: \"run:My Setup.exe\": no \"My Setup.exe\" beside the "
         "launcher (a \"run:\" link starts a file from the launcher's own folder)\n"},
        {"links that do nothing; quit: and invoke:",
         "<a href='http://example.com/'>w</a><a href=quit:>q</a><A HREF='QUIT:'>Q</A>\n"
         "<a href='invoke:CID_Nowhere::Action'>i</a>",
         kNoItems,
         "rsc/autorun.tpl:1:10: warning: link \"http://example.com/\" is not \"run:\", "
         "\"invoke:\" or \"quit:\": it does nothing in the launcher\n"
         "rsc/autorun.tpl:1:64: warning: link \"QUIT:\" is not \"run:\", \"invoke:\" or "
         "\"quit:\": it does nothing in the launcher\n"
         "rsc/autorun.tpl:2:10: warning: \"invoke:CID_Nowhere::Action\": no built-in class and "
         "no plug-in in rsc/plugins/ serves it as a page extension (the link shows an error)\n"},
        {"a link in a translated text's key, in every language", "<a href=\"#help#\">?</a>",
         "<content><translations>\n"
         "<L0409><string id='help' value='run:help-en.txt'/></L0409>\n"
         "<L0407><string id='help' value='run:README.txt'/></L0407>\n"
         "</translations><data/></content>",
         "rsc/autorun.tpl:1:10: warning: \"run:help-en.txt\": no \"help-en.txt\" beside the "
         "launcher (a \"run:\" link starts a file from the launcher's own folder)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestMedium medium(c.page_template, c.data);
        medium.WriteFile(u"README.txt", "read me");
        ToolRun run = medium.Run({"--check"});
        EXPECT_EQ(run.out, c.findings);
        EXPECT_EQ(run.exit_code, 0);
    }
}

// A program without permission to run is handed to the desktop's opener; a
// device is neither started nor opened.
TEST(PageCheck, ProgramsThatCannotStart) {
    if (!kPosix) {
        GTEST_SKIP() << "only POSIX files carry permission to run";
    }
    TestMedium medium(
        "<a href='run:setup.sh'>s</a><a href='run:tool'>t</a>\n<a href='run:/dev/null'>n</a>",
        kNoItems);
    medium.WriteFile(u"setup.sh", "#!/bin/sh\necho setup\n");
    medium.WriteFile(u"tool",
                     "\x7F"
                     "ELF\x02\x01\x01");
    ToolRun run = medium.Run({"--check"});
    EXPECT_EQ(run.out,
              "rsc/autorun.tpl:1:10: warning: \"run:setup.sh\": \"setup.sh\" is a program without "
              "permission to run: the launcher opens it instead of starting it\n"
              "rsc/autorun.tpl:1:38: warning: \"run:tool\": \"tool\" is a program without "
              "permission to run: the launcher opens it instead of starting it\n"
              "rsc/autorun.tpl:2:10: warning: \"run:/dev/null\": \"/dev/null\" can be neither "
              "started nor opened\n");
    std::filesystem::permissions(medium.Native(u"setup.sh"), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    std::filesystem::permissions(medium.Native(u"tool"), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(medium.Run({"--check"}).out,
              "rsc/autorun.tpl:2:10: warning: \"run:/dev/null\": \"/dev/null\" can be neither "
              "started nor opened\n");
}

TEST(PageCheck, PageExtensions) {
    const Case cases[] = {
        {"a class nothing serves, and no SetObjectVisibility", "<%n%><p>%%n.text%%</p></%n%>",
         "<content><data>\n<n text='x'/>\n<n visibility='CID_Nowhere::Notice' text='y'/>\n"
         "</data></content>",
         "autorun.xml:3:1: warning: visibility \"CID_Nowhere::Notice\": no built-in class and no "
         "plug-in in rsc/plugins/ serves it as a page extension, so the element stays hidden\n"
         "autorun.xml:3:1: warning: elements are bound to page extensions, but rsc/autorun.tpl "
         "defines no function SetObjectVisibility: they are always shown\n"},
        {"the page's own function",
         "<script>function  SetObjectVisibility(id, v) {}</script>"
         "<%n%>n</%n%>",
         "<content><data><n visibility='CID_Nowhere::Notice'/></data></content>",
         "autorun.xml:1:16: warning: visibility \"CID_Nowhere::Notice\": no built-in class and no "
         "plug-in in rsc/plugins/ serves it as a page extension, so the element stays hidden\n"},
        {"an item without a block is bound to nothing", "page",
         "<content><data><n visibility='CID_Nowhere::Notice'/></data></content>",
         "autorun.xml:1:16: warning: no block \"n\" in rsc/autorun.tpl: \"n\" items do not appear "
         "on the page\n"},
    };
    for (const Case& c : cases) {
        ExpectFindings(c);
    }
    // The function in a script file of the medium.
    TestMedium medium("<script src=\"rsc/page.js\"></script><%n%>n</%n%>",
                      "<content><data><n visibility='CID_Nowhere::Notice'/></data></content>");
    medium.WriteFile(u"rsc/page.js", "window.SetObjectVisibility = function (id, v) {};");
    EXPECT_EQ(
        medium.Run({"--check"}).out,
        "autorun.xml:1:16: warning: visibility \"CID_Nowhere::Notice\": no built-in class and "
        "no plug-in in rsc/plugins/ serves it as a page extension, so the element stays "
        "hidden\n");
}

// The medium's rsc/extensions.xml, served by the standard plug-in: its
// mistakes where they stand, classes it declares that the page never uses,
// and classes the page uses that nothing serves.
TEST(PageCheck, DeclaredPageExtensions) {
    struct ExtensionCase {
        const char* what;
        std::string extensions;
        std::string findings;
    } cases[] = {
        {"every class served and used",
         "<extensions><extension class='CID_A::Shown'/>"
         "<extension class='CID_A::Run'><run program='setup'/></extension></extensions>",
         ""},
        {"mistakes, a class declared twice, one unused and one missing",
         "<extensions>\n"
         "  <extension class='CID_A::Shown'><shown-when><sky/></shown-when></extension>\n"
         "  <extension class='CID_A::Shown' colour='red'/>\n"
         "  <extension class='CID_A::Unused'><run program='x' elevated='maybe'/></extension>\n"
         "</extensions>",
         "autorun.xml:1:59: warning: \"invoke:CID_A::Run\": no built-in class and no plug-in in "
         "rsc/plugins/ serves it as a page extension (the link shows an error)\n"
         "rsc/extensions.xml:2:47: error: unknown condition <sky>\n"
         "rsc/extensions.xml:3:3: error: unknown attribute \"colour\" of <extension>\n"
         "rsc/extensions.xml:3:3: error: the class \"CID_A::Shown\" is declared twice: the first "
         "declaration counts\n"
         "rsc/extensions.xml:4:3: warning: the class \"CID_A::Unused\" is declared, but no "
         "element or link of the page uses it\n"
         "rsc/extensions.xml:4:36: error: \"elevated\" is \"yes\" or \"no\", not \"maybe\"\n"},
        {"what Windows reads otherwise: a run of a batch file, folders a 32-bit launcher sees "
         "redirected; a registry view is fine",
         "<extensions>\n"
         "  <extension class='CID_A::Shown'><shown-when>\n"
         "    <registry key='HKLM\\SOFTWARE\\A' view='32'/>\n"
         "    <file path='%ProgramFiles%\\A\\a.exe'/><file path='%ProgramW6432%\\A\\a.exe'/>\n"
         "    <free-space path='%ProgramFiles%' at-least='1 GB'/>\n"
         "  </shown-when></extension>\n"
         "  <extension class='CID_A::Run'>\n"
         "    <run program='Setup.CMD'><argument>R&amp;D</argument></run></extension>\n"
         "</extensions>",
         "rsc/extensions.xml:4:5: warning: <file> \"%ProgramFiles%\\A\\a.exe\": the 32-bit "
         "launcher on 64-bit Windows reads %ProgramFiles% as \"Program Files (x86)\": write "
         "%ProgramW6432% for the 64-bit programs' folder (Program Files on 32-bit Windows too), or "
         "%ProgramFiles(x86)% for the 32-bit programs'\n"
         "rsc/extensions.xml:8:5: warning: <run> of a batch file \"Setup.CMD\": Windows runs it "
         "through the command shell, which reads its arguments by rules of its own (\"&\", "
         "\"%\", \"^\"), so the launcher refuses to start it there; start a program, or open the "
         "batch file without arguments with <open>\n"},
        {"another root", "<content/>",
         "autorun.xml:1:16: warning: visibility \"CID_A::Shown\": no built-in class and no "
         "plug-in in rsc/plugins/ serves it as a page extension, so the element stays hidden\n"
         "autorun.xml:1:59: warning: \"invoke:CID_A::Run\": no built-in class and no plug-in in "
         "rsc/plugins/ serves it as a page extension (the link shows an error)\n"
         "rsc/extensions.xml:1:1: error: the file holds one element, <extensions>\n"},
    };
    const std::string page_template =
        "<script>function SetObjectVisibility(id, v) {}</script><%n%><a href='%%n.href%%'>n</a>"
        "</%n%>";
    const std::string data =
        "<content><data><n visibility='CID_A::Shown' href='quit:'/><n href='invoke:CID_A::Run'/>"
        "</data></content>";
    for (const ExtensionCase& c : cases) {
        SCOPED_TRACE(c.what);
        TestMedium medium(page_template, data);
        medium.AddPlugin(DECLARED_PLUGIN_PATH);
        medium.WriteFile(u"rsc/extensions.xml", c.extensions);
        ToolRun run = medium.Run({"--check"});
        EXPECT_EQ(run.out, c.findings + UnsignedPlugins({DECLARED_PLUGIN_PATH}));
        EXPECT_EQ(run.exit_code, c.findings.find(": error: ") != std::string::npos ? 1 : 0);
    }
}

// A hostile file is a finding; the page is still built, its classes unserved.
TEST(PageCheck, HostileDeclarationFiles) {
    std::string deep = "<extensions><extension class='CID_A::Shown'><shown-when>";
    for (int i = 0; i < 5000; ++i) {
        deep += "<any>";
    }
    deep += "<program name='sh'/>";
    for (int i = 0; i < 5000; ++i) {
        deep += "</any>";
    }
    deep += "</shown-when></extension></extensions>";
    struct HostileCase {
        const char* what;
        std::string bytes;
        std::string finding;
    } cases[] = {
        {"not UTF-8", "<extensions><extension class='\xC0\xAF'/></extensions>",
         "rsc/extensions.xml:1:1: error: "},
        {"larger than a declaration file may be",
         "<extensions>" + std::string(2 << 20, ' ') + "</extensions>",
         "rsc/extensions.xml:1:1: error: The file is larger than a declaration file may be (1 "
         "MB). No class of the file is served.\n"},
        {"nested deeper than conditions may be", deep,
         "error: conditions nest more than 32 deep\n"},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.what);
        TestMedium medium("<%n%>n</%n%>",
                          "<content><data><n visibility='CID_A::Shown'/></data></content>");
        medium.AddPlugin(DECLARED_PLUGIN_PATH);
        medium.WriteFile(u"rsc/extensions.xml", c.bytes);
        ToolRun run = medium.Run({"--check"});
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_NE(run.out.find(c.finding), std::string::npos) << run.out;
        ToolRun page = medium.Run({"--visibility"});
        EXPECT_EQ(page.exit_code, 0) << page.err;
        EXPECT_EQ(page.out,
                  std::string("vis1\tCID_A::Shown\t") + (c.finding.find("deep") != std::string::npos
                                                             ? "rsc/extensions.xml:1\n"
                                                             : "not served\n"));
    }
}

// What Windows' control shows differently, as the page's text tells it.
TEST(PageCheck, WhatWindowsShowsDifferently) {
    const std::string engine = "Windows' engine (Internet Explorer 11)";
    const std::string as_ie7 =
        "Windows shows the page as Internet Explorer 7 did (\"IE=edge\": "
        "the newest mode)\n";
    const Case cases[] = {
        {"a whole page without a doctype", "<html>\n<body>x</body></html>", kNoItems,
         "rsc/autorun.tpl:1:1: warning: the page does not start with \"<!DOCTYPE html>\": "
         "Windows shows it in the quirks mode of old Internet Explorer, in other sizes and "
         "without newer styles\n"},
        {"a doctype in any case, after a comment",
         "<!-- menu -->\n<!doctype HTML><html><body>x</body></html>", kNoItems, ""},
        {"an older document mode, and one that names none",
         "<!DOCTYPE html><head>\n<meta http-equiv='X-UA-Compatible' content='IE=EmulateIE9; "
         "IE=8'>\n<META HTTP-EQUIV=x-ua-compatible CONTENT=chrome=1>",
         kNoItems,
         "rsc/autorun.tpl:2:1: warning: X-UA-Compatible \"IE=EmulateIE9; IE=8\": Windows shows "
         "the page as Internet Explorer 9 did (\"IE=edge\": the newest mode)\n"
         "rsc/autorun.tpl:3:1: warning: X-UA-Compatible \"chrome=1\" names no document mode: " +
             as_ie7},
        {"the newest mode by name and by number, after title and meta",
         "<!DOCTYPE html><html><head><title>t</title><meta charset=utf-8>"
         "<meta http-equiv=X-UA-Compatible content=IE=edge>"
         "<meta http-equiv=X-UA-Compatible content='IE=10,IE=11'>",
         kNoItems, ""},
        {"a mode after another element",
         "<!DOCTYPE html><head><script></script>\n"
         "<meta http-equiv=X-UA-Compatible content=IE=edge>",
         kNoItems,
         "rsc/autorun.tpl:2:1: warning: X-UA-Compatible \"IE=edge\" comes after <script>, where "
         "Windows does not read it (only title and meta may come before): " +
             as_ie7},
        {"styles of a style element and of style attributes",
         "<style>\nul { gap: 2px; }\n@media screen { .g { display: INLINE-GRID !important } }\n"
         "/* gap: 1px */ p::before { content: 'gap: 3px' }\n</style>\n"
         "<p style='position:sticky;object-fit: cover'>",
         kNoItems,
         "rsc/autorun.tpl:2:6: warning: \"gap: 2px\": " + engine +
             " puts no gaps between flex items: use margins\n"
             "rsc/autorun.tpl:3:22: warning: \"display: inline-grid\": " +
             engine +
             " has no grid layout (only an older one of its own)\n"
             "rsc/autorun.tpl:6:11: warning: \"position: sticky\": " +
             engine +
             " keeps no element in place as it scrolls\n"
             "rsc/autorun.tpl:6:27: warning: \"object-fit: cover\": " +
             engine + " does not fit pictures into their box\n"},
        {"a main element without a display of its own", "<main>\n<main class=x>", kNoItems,
         "rsc/autorun.tpl:1:1: warning: " + engine +
             " does not know the main element and shows it inline: give it \"display: block\" "
             "in the style sheet\n"},
        {"a main element given one", "<style>body > main.menu, p { display: flex }</style><main>",
         kNoItems, ""},
        {"a main element's descendants are not it",
         "<style>main p { display: block }</style><main>", kNoItems,
         "rsc/autorun.tpl:1:41: warning: " + engine +
             " does not know the main element and shows it inline: give it \"display: block\" "
             "in the style sheet\n"},
        {"pictures", "<img src='rsc/a.WEBP?x=1' alt=''><img src=rsc/b.svg><img src=c.avif>",
         kNoItems,
         "rsc/autorun.tpl:1:11: warning: picture \"rsc/a.WEBP?x=1\": " + engine +
             " shows no WebP or AVIF pictures: use PNG, JPEG, GIF or SVG\n"
             "rsc/autorun.tpl:1:62: warning: picture \"c.avif\": " +
             engine + " shows no WebP or AVIF pictures: use PNG, JPEG, GIF or SVG\n"},
        {"scripts: not in comments, strings and regular expressions",
         "<script>var r = /=>`/; // =>\nvar s = 'a => `b`', t = \"`\";\n"
         "f(x => x); f(`${r}`); g(y => y);</script>",
         kNoItems,
         "rsc/autorun.tpl:3:5: warning: " + engine +
             " cannot run an arrow function (\"=>\"): on Windows none of this script runs, "
             "SetObjectVisibility included\n"
             "rsc/autorun.tpl:3:14: warning: " +
             engine +
             " cannot run a template literal (\"`\"): on Windows none of this script runs, "
             "SetObjectVisibility included\n"},
    };
    for (const Case& c : cases) {
        ExpectFindings(c);
    }

    // The medium's style sheets and scripts the page loads, also through the
    // launcher's folder; addresses elsewhere are not read.
    TestMedium medium(
        "<link rel=stylesheet href='rsc/menu.css'><link rel='STYLESHEET' "
        "href='file:///%%dir/rsc/menu.css'><link rel=stylesheet href='http://example.com/x.css'>"
        "<script src=rsc/menu.js></script>",
        kNoItems);
    medium.WriteFile(u"rsc/menu.css", "body {\n  color: var(--text);\n}\n");
    medium.WriteFile(u"rsc/menu.js", "var a = 1;\nvar b = `${a}`;\n");
    EXPECT_EQ(medium.Run({"--check"}).out,
              "rsc/menu.css:2:3: warning: \"color: var(--text)\": " + engine +
                  " has no custom properties and drops the declaration\n"
                  "rsc/menu.js:2:9: warning: " +
                  engine +
                  " cannot run a template literal (\"`\"): on Windows none of this script runs, "
                  "SetObjectVisibility included\n");
}

// A Windows program or DLL as a linker lays out its headers, 64-bit or 32-bit,
// with a certificate table after it when `table` is given: its first entry,
// a PKCS#7 signature by its type, holding `table`. `table_size` stands in the
// security directory (default: the entry's own size).
std::string WindowsFile(bool pe32_plus, std::optional<std::string> table = std::nullopt,
                        std::optional<uint32_t> table_size = std::nullopt) {
    auto put = [](std::string& bytes, size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes[at + i] = static_cast<char>(value >> (8 * i));
        }
    };
    const size_t header = 0x40, optional = header + 24;
    const size_t optional_size = pe32_plus ? 240 : 224;
    const size_t count_at = optional + (pe32_plus ? 108 : 92);
    std::string bytes(optional + optional_size, '\0');
    bytes.replace(0, 2, "MZ");
    put(bytes, 0x3C, header, 4);
    bytes.replace(header, 4, std::string("PE\0\0", 4));
    put(bytes, header + 4, pe32_plus ? 0x8664 : 0x14C, 2);
    put(bytes, header + 20, optional_size, 2);
    put(bytes, optional, pe32_plus ? 0x20B : 0x10B, 2);
    put(bytes, count_at, 16, 4);
    if (table) {
        std::string entry(8, '\0');
        put(entry, 0, static_cast<uint32_t>(8 + table->size()), 4);
        put(entry, 4, 0x0200, 2);
        put(entry, 6, 0x0002, 2);
        entry += *table;
        entry.resize((entry.size() + 7) / 8 * 8, '\0');
        put(bytes, count_at + 4 + 4 * 8, static_cast<uint32_t>(bytes.size()), 4);
        put(bytes, count_at + 4 + 4 * 8 + 4, table_size.value_or(entry.size()), 4);
        bytes += entry;
    }
    return bytes;
}

// The medium's Windows programs and DLLs without a signature, wherever they
// lie and however their names are written; those with one, and files that are
// not for Windows, give nothing.
TEST(PageCheck, WindowsFilesWithoutSignature) {
    TestMedium medium("page", kNoItems);
    // The start of a DER sequence, as every PKCS#7 signature begins.
    const std::string signature("\x30\x82\x01\x00\x06\x09", 6);
    std::filesystem::create_directories(medium.Native(u"x64"));
    std::filesystem::create_directories(medium.Native(u"rsc/plugins"));
    medium.WriteFile(u"signed.exe", WindowsFile(false, signature));
    medium.WriteFile(u"x64/signed.dll", WindowsFile(true, signature));
    medium.WriteFile(u"setup.sh", "#!/bin/sh\n");
    medium.WriteFile(u"rsc/plugins/pages.so",
                     "\x7F"
                     "ELF\x02\x01\x01");
    ToolRun run = medium.Run({"--check"});
    EXPECT_EQ(run.out, "") << "signed ones, and no Windows file besides";

    medium.WriteFile(u"setup.exe", WindowsFile(false));
    medium.WriteFile(u"x64/Tools.DLL", WindowsFile(true));
    // Cut short after it was signed: the table lies past the end.
    medium.WriteFile(u"x64/cut.dll", WindowsFile(true, signature, 4096));
    medium.WriteFile(u"x64/other.exe", WindowsFile(false, "not DER"));
    medium.WriteFile(u"readme.exe", "MZ, but text");
    run = medium.Run({"--check"});
    const std::string damaged =
        "warning: its Authenticode signature is damaged (the certificate table its header names "
        "lies outside the file or holds no PKCS#7 signature), so Windows takes it as unsigned: ";
    EXPECT_EQ(run.out,
              "readme.exe: warning: not a Windows program (no PE headers): Windows neither starts "
              "nor loads it\n"
              "setup.exe: " +
                  kUnsignedProgram + "x64/Tools.DLL: " + kUnsignedDll + "x64/cut.dll: " + damaged +
                  kDllConsequence + "x64/other.exe: " + damaged +
                  "where Smart App Control is on (Windows 11), Windows refuses to start it unless "
                  "Microsoft's cloud service knows the file; started from a downloaded image, "
                  "SmartScreen first warns of an unknown publisher (\"Windows protected your "
                  "PC\")" +
                  kSignIt);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exit_code, 0) << "warnings only";
}

// Everything wrong with a medium at once, in file order: the template's
// findings, then the data file's.
TEST(PageCheck, EveryFindingInFileOrder) {
    ExpectFindings(
        {"several mistakes",
         "<html>#title#\n"
         "<%group%><h2>%%group.title%%</h2>\n"
         "<%entry%><a href=\"%%entry.href%%\">%%entry.title%%</a></%entry%>\n"
         "</%grop%>\n"
         "<a href=\"quit:\">#close#</a>\n",
         "<content>\n"
         "<translations>\n"
         "<L0409><string id='title' value='T'/><string id='close' value='C'/>\n"
         "  <string id='title' value='again'/></L0409>\n"
         "<L0407><string id='title' value='T'/></L0407>\n"
         "</translations>\n"
         "<data>\n"
         "<group title='#title#'><entry href='run:gone.exe' title='#new#'/></group>\n"
         "<extra/>\n"
         "</data></content>",
         "rsc/autorun.tpl:1:1: warning: the page does not start with \"<!DOCTYPE html>\": "
         "Windows shows it in the quirks mode of old Internet Explorer, in other sizes and "
         "without newer styles\n"
         "rsc/autorun.tpl:2:1: " +
             kSyntax +
             "Block \"group\" is never closed: \"</%group%>\" expected.\n"
             "rsc/autorun.tpl:4:1: " +
             kSyntax +
             "\"</%grop%>\" does not close the innermost open block: \"</%group%>\" expected.\n"
             "rsc/autorun.tpl:5:17: warning: \"#close#\" is not defined in L0407: it appears as "
             "written on those pages\n"
             "autorun.xml:4:3: error: Incorrect format in XML language file. A second string with "
             "the id \"title\".\n"
             "autorun.xml:8:24: warning: \"#new#\" (attribute \"title\"): no language defines it, "
             "it appears as written\n"
             "autorun.xml:8:24: warning: \"run:gone.exe\": no \"gone.exe\" beside the launcher (a "
             "\"run:\" link starts a file from the launcher's own folder)\n"
             "autorun.xml:9:1: warning: no block \"extra\" in rsc/autorun.tpl: \"extra\" items do "
             "not appear on the page\n"});
}

// The demo medium as it lies in the source tree with the standard and the
// sample plug-in in rsc/plugins/, as make-medium.sh lays them in, and a copy
// broken on purpose.
class DemoMedium : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy(DEMO_MEDIUM_DIR, medium_.Dir(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        medium_.AddPlugin(DECLARED_PLUGIN_PATH);
        medium_.AddPlugin(SAMPLE_PLUGIN_PATH);
    }

    std::string Read(std::u16string_view name) const {
        std::ifstream in(medium_.Native(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Replaces the first occurrence of `from` in the file.
    void Edit(std::u16string_view name, std::string_view from, std::string_view to) {
        std::string text = Read(name);
        size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << std::string(from);
        medium_.WriteFile(name, text.replace(at, from.size(), to));
    }

    TestMedium medium_{"", ""};
};

TEST_F(DemoMedium, PassesWithNoFinding) {
    ToolRun run = medium_.Run({"--check"});
    EXPECT_EQ(run.out, UnsignedPlugins({DECLARED_PLUGIN_PATH, SAMPLE_PLUGIN_PATH}));
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exit_code, 0);
}

// The classes the page binds are served by the medium's own plug-ins: without
// them, nothing serves them.
TEST_F(DemoMedium, WithoutItsPluginsItsPageExtensionsAreNotServed) {
    std::filesystem::remove_all(medium_.Native(u"rsc/plugins"));
    ToolRun run = medium_.Run({"--check"});
    const std::string not_served =
        ": no built-in class and no plug-in in rsc/plugins/ serves it as a page extension";
    EXPECT_EQ(run.out, "autorun.xml:147:7: warning: visibility \"CID_Orvella::WhenNotInstalled\"" +
                           not_served + ", so the element stays hidden\n" +
                           "autorun.xml:149:7: warning: visibility \"CID_Orvella::WhenInstalled\"" +
                           not_served + ", so the element stays hidden\n" +
                           "autorun.xml:152:7: warning: \"invoke:CID_Orvella::BrowseMedium\"" +
                           not_served + " (the link shows an error)\n" +
                           "autorun.xml:153:7: warning: \"invoke:CID_Orvella::VisitWebSite\"" +
                           not_served + " (the link shows an error)\n" +
                           "autorun.xml:154:7: warning: \"invoke:CID_Orvella::Tools64\"" +
                           not_served + " (the link shows an error)\n" +
                           "autorun.xml:154:7: warning: visibility \"CID_Orvella::Tools64\"" +
                           not_served + ", so the element stays hidden\n");
    EXPECT_EQ(run.exit_code, 0);
}

TEST_F(DemoMedium, ABrokenCopyGivesItsMistakes) {
    // A German string lost, a French one twice, the group block misnamed, the
    // setup program gone.
    Edit(u"autorun.xml", "      <string id=\"readme\" value=\"Bitte zuerst lesen\"/>\n", "");
    Edit(u"autorun.xml", "<string id=\"close\" value=\"Fermer\"/>",
         "<string id=\"close\" value=\"Fermer\"/><string id=\"close\" value=\"Fermez\"/>");
    Edit(u"rsc/autorun.tpl", "<%group%>", "<%groups%>");
    Edit(u"rsc/autorun.tpl", "</%group%>", "</%groups%>");
    std::filesystem::remove(medium_.Native(u"setup.sh"));
    ToolRun run = medium_.Run({"--check"});
    EXPECT_EQ(run.out,
              "rsc/autorun.tpl:26:1: warning: block \"groups\" is used by no item of autorun.xml\n"
              "autorun.xml:61:42: error: Incorrect format in XML language file. A second string "
              "with the id \"close\".\n"
              "autorun.xml:145:5: warning: no block \"group\" in rsc/autorun.tpl: \"group\" items "
              "do not appear on the page\n"
              "autorun.xml:146:7: warning: \"run:setup.sh\": no \"setup.sh\" beside the launcher "
              "(a \"run:\" link starts a file from the launcher's own folder)\n"
              "autorun.xml:150:7: warning: \"#readme#\" (attribute \"title\") is not defined in "
              "L0407: it appears as written on those pages\n" +
                  UnsignedPlugins({DECLARED_PLUGIN_PATH, SAMPLE_PLUGIN_PATH}));
    EXPECT_EQ(run.exit_code, 1);
}

}  // namespace
