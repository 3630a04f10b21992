// autorun-page --preview from outside, as a media author runs it: pictures of
// the page in every language, taken through the launcher's window code.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "gui_session.h"

namespace {

using namespace GuiSession;

constexpr int kWidth = 670;
constexpr int kHeight = 490;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB
    uint32_t At(int x, int y) const { return pixels[y * width + x]; }
    bool operator==(const Picture&) const = default;
};

Picture Load(const std::filesystem::path& file) {
    Picture picture;
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(file.c_str(), nullptr);
    if (!pixbuf) {
        return picture;
    }
    picture.width = gdk_pixbuf_get_width(pixbuf);
    picture.height = gdk_pixbuf_get_height(pixbuf);
    int channels = gdk_pixbuf_get_n_channels(pixbuf);
    int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const guchar* data = gdk_pixbuf_read_pixels(pixbuf);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const guchar* p = data + y * stride + x * channels;
            picture.pixels.push_back(p[0] << 16 | p[1] << 8 | p[2]);
        }
    }
    g_object_unref(pixbuf);
    return picture;
}

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream stream(file);
    std::stringstream text;
    text << stream.rdbuf();
    return text.str();
}

// A run of the tool: its exit status and standard error.
struct ToolRun {
    int status;
    std::string errors;
};

ToolRun RunPreview(const Medium& medium, const std::filesystem::path& out,
                   std::map<std::string, std::string> environment = {},
                   const std::vector<std::string>& options = {}) {
    environment.try_emplace("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1");
    environment.try_emplace("LC_ALL", "C.UTF-8");
    // Standard error goes to a file beside the preview folder.
    std::vector<std::string> command = {
        "sh",        "-c",        "exec \"$0\" \"$@\" 2>\"$2-errors\"", AUTORUN_PAGE_PATH,
        "--preview", out.string()};
    command.insert(command.end(), options.begin(), options.end());
    command.push_back(medium.folder().string());
    int status = RunTool(command, environment);
    return {status, ReadText(out.string() + "-errors")};
}

std::set<std::string> Files(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

size_t Colours(const Picture& picture) {
    return std::set<uint32_t>(picture.pixels.begin(), picture.pixels.end()).size();
}

// The demo medium: one picture for each language of its data file and one for
// the launcher's default (here Polish, which the data file lacks: the page
// falls back to English), each the size of the launcher's page, each showing
// the page; index.html shows them all.
TEST(PagePreview, DemoMediumGivesOnePicturePerLanguage) {
    Medium medium(Medium::Program::kLauncher);
    std::filesystem::copy(
        DEMO_MEDIUM_DIR, medium.folder(),
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_existing);
    std::filesystem::path out = medium.Path("preview");
    ToolRun run = RunPreview(medium, out, {{"LC_ALL", "pl_PL.UTF-8"}});
    ASSERT_EQ(run.status, 0) << run.errors;

    const std::vector<std::string> pictures = {"0409-en.png",    "0407-de.png", "040c-fr.png",
                                               "0c0a-es.png",    "0419-ru.png", "0411-ja.png",
                                               "0804-zh-CN.png", "0415-pl.png"};
    std::set<std::string> expected(pictures.begin(), pictures.end());
    expected.insert("index.html");
    EXPECT_EQ(Files(out), expected);

    std::map<std::string, Picture> loaded;
    for (const std::string& name : pictures) {
        SCOPED_TRACE(name);
        Picture picture = Load(out / name);
        EXPECT_EQ(picture.width, kWidth);
        EXPECT_EQ(picture.height, kHeight);
        EXPECT_GT(Colours(picture), 20u) << "a blank picture";
        loaded[name] = picture;
    }
    EXPECT_FALSE(loaded["0409-en.png"] == loaded["0407-de.png"]);
    EXPECT_FALSE(loaded["0411-ja.png"] == loaded["0804-zh-CN.png"]);
    EXPECT_TRUE(loaded["0415-pl.png"] == loaded["0409-en.png"]);

    std::string index = ReadText(out / "index.html");
    size_t previous = 0;
    for (const std::string& name : pictures) {
        size_t at = index.find("<img src=\"" + name + "\"");
        EXPECT_NE(at, std::string::npos) << name;
        EXPECT_GT(at, previous) << name << " out of order";
        previous = at;
    }
    EXPECT_NE(index.find("0415-pl (default)"), std::string::npos) << index;
}

// The pictures show the bound elements as the medium's page extensions decide,
// as the launcher does: the demo medium's "Install" and "Uninstall" entries
// are both hidden without the standard plug-in, and with it one of them shows,
// as the machine's settings (a registry folder of the test's own) say.
TEST(PagePreview, PageExtensionsOfTheMediumDecideWhatIsShown) {
    Medium medium(Medium::Program::kLauncher);
    std::filesystem::copy(
        DEMO_MEDIUM_DIR, medium.folder(),
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_existing);
    std::filesystem::create_directories(medium.Path("registry"));
    std::filesystem::create_directories(medium.Path("product"));
    const std::map<std::string, std::string> environment = {
        {"ORVELLA_REGISTRY_DIR", medium.Path("registry").string()}, {"LC_ALL", "en_US.UTF-8"}};
    struct Case {
        const char* what;
        bool plugin;
        bool installed;
    } cases[] = {
        {"no-plugin", false, false},
        {"not-installed", true, false},
        {"installed", true, true},
    };
    std::vector<Picture> english;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.plugin) {
            std::filesystem::create_directories(medium.Path("rsc/plugins"));
            std::filesystem::copy_file(BuiltFile(DECLARED_PLUGIN_PATH),
                                       medium.Path("rsc/plugins/declared_extensions.so"),
                                       std::filesystem::copy_options::skip_existing);
        }
        if (c.installed) {
            medium.WriteFile("registry/machine.reg",
                             "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvella\\1.0\\InstallDir]\r\n"
                             "@=\"" +
                                 medium.Path("product").string() + "\"\r\n");
        }
        std::filesystem::path out = medium.Path(std::string("preview-") + c.what);
        ToolRun run = RunPreview(medium, out, environment);
        ASSERT_EQ(run.status, 0) << run.errors;
        english.push_back(Load(out / "0409-en.png"));
        ASSERT_EQ(english.back().width, kWidth);
    }
    EXPECT_FALSE(english[0] == english[1]);
    EXPECT_FALSE(english[1] == english[2]);
    EXPECT_FALSE(english[0] == english[2]);

    // Installed as the registry says, and the other way round as assumed.
    std::filesystem::path out = medium.Path("preview-assumed");
    ToolRun run = RunPreview(medium, out, environment,
                             {"--assume", "CID_Orvella::WhenInstalled=hidden", "--assume",
                              "CID_Orvella::WhenNotInstalled=shown"});
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(Load(out / "0409-en.png") == english[1]);
}

// Japanese text is drawn with Japanese glyphs, not with the empty boxes of a
// font that lacks them (every such box looks the same): each character of the
// page, in a cell of its own, looks different from every other.
TEST(PagePreview, JapaneseTextIsDrawnInJapanese) {
    Medium medium(Medium::Program::kLauncher);
    const char* characters[] = {"自", "動", "実", "行", "構", "文"};
    std::string cells;
    for (int i = 0; i < 6; ++i) {
        cells += "<div style=\"position:absolute;top:40px;left:" + std::to_string(20 + 100 * i) +
                 "px;width:100px;height:100px;font-size:80px;line-height:100px\">#c" +
                 std::to_string(i) + "#</div>";
    }
    medium.WriteFile("rsc/autorun.tpl",
                     "<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\"></head>"
                     "<body style=\"margin:0;background:#fff;color:#000\">" +
                         cells + "</body></html>");
    std::string strings;
    for (int i = 0; i < 6; ++i) {
        strings += "<string id=\"c" + std::to_string(i) + "\" value=\"" + characters[i] + "\"/>";
    }
    medium.WriteFile("autorun.xml", "<content><translations><L0411>" + strings +
                                        "</L0411></translations><data/></content>");
    std::filesystem::path out = medium.Path("preview");
    ToolRun run = RunPreview(medium, out, {{"LC_ALL", "ja_JP.UTF-8"}});
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(Files(out), (std::set<std::string>{"0411-ja.png", "index.html"}));

    Picture picture = Load(out / "0411-ja.png");
    ASSERT_EQ(picture.width, kWidth);
    std::vector<std::vector<uint32_t>> glyphs;
    for (int i = 0; i < 6; ++i) {
        std::vector<uint32_t> cell;
        int ink = 0;
        for (int y = 40; y < 140; ++y) {
            for (int x = 20 + 100 * i; x < 120 + 100 * i; ++x) {
                cell.push_back(picture.At(x, y));
                ink += picture.At(x, y) != 0xFFFFFF;
            }
        }
        EXPECT_GT(ink, 200) << characters[i] << " is not drawn";
        glyphs.push_back(cell);
    }
    for (int i = 0; i < 6; ++i) {
        for (int j = i + 1; j < 6; ++j) {
            EXPECT_NE(glyphs[i], glyphs[j]) << characters[i] << " looks like " << characters[j];
        }
    }
}

// Without a display the tool starts an X server of its own; a broken medium
// gives the launcher's message and no pictures.
TEST(PagePreview, WorksWithoutADisplayAndRefusesABrokenMedium) {
    Medium medium(Medium::Program::kLauncher);
    medium.WriteFile("rsc/autorun.tpl",
                     "<html><body style=\"background:#2060a0\">#hello#</body></html>");
    medium.WriteFile("autorun.xml",
                     "<content><translations><L0409><string id=\"hello\" value=\"Hello\"/>"
                     "</L0409></translations><data/></content>");
    std::filesystem::path out = medium.Path("preview");
    ToolRun run = RunPreview(medium, out, {{"DISPLAY", ""}});
    ASSERT_EQ(run.status, 0) << run.errors;
    Picture picture = Load(out / "0409-en.png");
    ASSERT_EQ(picture.width, kWidth);
    EXPECT_EQ(picture.At(600, 400), 0x2060A0u);

    medium.WriteFile("rsc/autorun.tpl", "<%open%>");
    std::filesystem::path broken = medium.Path("broken");
    run = RunPreview(medium, broken);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("Failed to initialize the application.\n"
                              "Syntax error in the HTML template."),
              std::string::npos)
        << run.errors;
    EXPECT_FALSE(std::filesystem::exists(broken / "index.html"));
}

}  // namespace
