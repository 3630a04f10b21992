// The demo medium's page extensions end to end: the real launcher on a copy of
// the demo medium with the standard plug-in (plugins/, serving the medium's
// rsc/extensions.xml) and the sample one (examples/plugins) in rsc/plugins/,
// the machine's settings in a registry folder of the test's own, and the file
// manager replaced through PATH by a script that notes what it was asked to
// open.
#include <gtest/gtest.h>

// Xlib's macros (None, Bool, ...) must come after the test framework.
#include <X11/Xlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "gui_session.h"

namespace {

using namespace GuiSession;

// The header's dark blue from the demo's rsc/autorun.css.
constexpr uint32_t kHeaderBlue = 0x0D3B66;

class DemoMediumExtensions : public testing::Test {
protected:
    // One X connection for the whole run: the server resets when its last
    // client leaves.
    static void SetUpTestSuite() {
        if (!screen_) {
            screen_ = std::make_unique<Desktop>();
        }
    }

    void SetUp() override {
        ASSERT_NE(screen_->display(), nullptr) << "no X display";
        std::filesystem::copy(DEMO_MEDIUM_DIR, medium_.folder(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::skip_existing);
        InstallPlugin(BuiltFile(DECLARED_PLUGIN_PATH));
        InstallPlugin(BuiltFile(SAMPLE_PLUGIN_PATH));
        // Notes the arguments it was started with.
        medium_.WriteFile("setup.sh", "#!/bin/sh\nprintf '%s\\n' \"$@\" > ran-setup\n");
        std::filesystem::permissions(medium_.Path("setup.sh"), std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
        medium_.WriteMarkerScript("uninstall.sh", "ran-uninstall");
        medium_.WriteFile("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" +
                                              medium_.Path("opened.txt").string() + "'\n");
        std::filesystem::permissions(medium_.Path("bin/xdg-open"),
                                     std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
        std::filesystem::create_directories(medium_.Path("registry"));
    }

    Desktop& screen() { return *screen_; }

    // Copies a file into the medium's plug-in folder, under its own name or `as`.
    void InstallPlugin(const std::filesystem::path& file, const std::string& as = {}) {
        std::filesystem::path folder = medium_.Path("rsc/plugins");
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(file, folder / (as.empty() ? file.filename().string() : as));
    }

    // Registers the product as installed in `folder` (the machine key's default
    // value), or forgets it when `folder` is empty.
    void RegisterInstallFolder(const std::filesystem::path& folder) {
        std::filesystem::remove(medium_.Path("registry/machine.reg"));
        if (!folder.empty()) {
            medium_.WriteFile("registry/machine.reg",
                              "Windows Registry Editor Version 5.00\r\n\r\n"
                              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvella\\1.0\\InstallDir]\r\n"
                              "@=\"" +
                                  folder.string() + "\"\r\n");
        }
    }

    std::map<std::string, std::string> Environment() {
        return {{"ORVELLA_REGISTRY_DIR", medium_.Path("registry").string()},
                {"PATH", medium_.Path("bin").string() + ":" + std::getenv("PATH")},
                {"LC_ALL", "en_US.UTF-8"}};
    }

    // The launcher's window once the demo page is shown.
    Window Show(Launcher& launcher) {
        Window window = screen().WaitForWindow(launcher.pid());
        EXPECT_NE(window, None) << launcher.ErrorOutput();
        if (window != None) {
            EXPECT_TRUE(WaitUntil([&] {
                Desktop::Image page = screen().Capture(window);
                return !page.pixels.empty() && page.At(4, 4) == kHeaderBlue;
            })) << launcher.ErrorOutput();
        }
        return window;
    }

    // Follows the next link of the page: links hidden by their extension take
    // no focus, so the links the keyboard reaches are the ones shown.
    void FollowNextLink(Window window) { Keys(window, {"Tab", "Return"}); }

    // What the file manager was asked to open, in order.
    std::vector<std::string> Opened() {
        std::ifstream file(medium_.Path("opened.txt"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    Medium medium_{Medium::Program::kLauncher};

private:
    static inline std::unique_ptr<Desktop> screen_;
};

// "Install" shows when the product is not installed, "Uninstall" when it is
// (rsc/extensions.xml: the install folder is in the machine's registry, there
// or not): the first link the keyboard reaches starts the one shown, and the
// next one is "Read me first", so the other is hidden. "Browse this medium"
// runs the sample plug-in's action, which hands the medium's folder to the
// file manager.
TEST_F(DemoMediumExtensions, ShowInstallOrUninstallAndBrowseTheMedium) {
    std::filesystem::create_directories(medium_.Path("product"));
    struct Case {
        const char* what;
        std::filesystem::path install_folder;
        const char* first_link_marker;
    } cases[] = {
        {"not-installed", {}, "ran-setup"},
        {"installed", medium_.Path("product"), "ran-uninstall"},
        {"registered-folder-gone", medium_.Path("removed"), "ran-uninstall"},
    };
    std::string folder = std::filesystem::canonical(medium_.folder()).string();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RegisterInstallFolder(c.install_folder);
        std::filesystem::remove(medium_.Path("opened.txt"));
        Launcher launcher(medium_, Environment());
        Window window = Show(launcher);
        ASSERT_NE(window, None);
        screen().SaveArtifact(window, std::string("demo-extensions-") + c.what);
        // Into the page, off every link.
        Click(window, 600, 20);

        FollowNextLink(window);
        EXPECT_TRUE(WaitUntil([&] { return medium_.Exists(c.first_link_marker); }));
        FollowNextLink(window);
        EXPECT_TRUE(WaitUntil([&] { return Opened().size() == 1; }));
        FollowNextLink(window);
        EXPECT_TRUE(WaitUntil([&] { return Opened().size() == 2; }));
        EXPECT_EQ(Opened(), (std::vector<std::string>{folder + "/README.txt", folder}));
        std::filesystem::remove(medium_.Path(c.first_link_marker));

        Keys(window, {"Escape"});
        EXPECT_EQ(launcher.WaitForExit(), 0) << launcher.ErrorOutput();
    }
}

// The declared actions: "Visit the web site" hands the address to the
// system's handler; the entry shown on 64-bit systems (this one) starts the
// medium's program with its arguments, and the menu closes after it started.
TEST_F(DemoMediumExtensions, DeclaredActionsOpenAnAddressAndRunAProgramThenClose) {
    Launcher launcher(medium_, Environment());
    Window window = Show(launcher);
    ASSERT_NE(window, None);
    // From off every link: Install, Read me first, Browse this medium, then
    // the declared entries.
    Click(window, 600, 20);
    Keys(window, {"Tab", "Tab", "Tab", "Tab", "Return"});
    EXPECT_TRUE(WaitUntil([&] { return Opened().size() == 1; }));
    EXPECT_EQ(Opened(), std::vector<std::string>{"https://www.orvella.example/"});
    EXPECT_FALSE(medium_.Exists("ran-setup"));
    // From the link just followed, the next one: the page has the keyboard
    // again once the extension has run (Return does not follow it twice).
    FollowNextLink(window);
    EXPECT_EQ(launcher.WaitForExit(), 0) << launcher.ErrorOutput();
    EXPECT_EQ(Opened().size(), 1u);
    auto noted = [&] {
        std::ifstream file(medium_.Path("ran-setup"));
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    EXPECT_TRUE(WaitUntil([&] { return noted() == "--tools\n64-bit\n"; })) << noted();
}

// A declaration file that cannot be read (here: no UTF-8) serves nothing: the
// menu comes up all the same, with both "Install" and "Uninstall" hidden, so
// the first link the keyboard reaches is "Read me first".
TEST_F(DemoMediumExtensions, AnUnreadableDeclarationFileLeavesTheMenuUp) {
    medium_.WriteFile("rsc/extensions.xml", "<extensions><extension class='\xC0\xAF'/>");
    Launcher launcher(medium_, Environment());
    Window window = Show(launcher);
    ASSERT_NE(window, None);
    Click(window, 600, 20);
    FollowNextLink(window);
    EXPECT_TRUE(WaitUntil([&] { return Opened().size() == 1; }));
    EXPECT_FALSE(medium_.Exists("ran-setup"));
    EXPECT_FALSE(medium_.Exists("ran-uninstall"));
    Keys(window, {"Escape"});
    EXPECT_EQ(launcher.WaitForExit(), 0) << launcher.ErrorOutput();
}

// Files in rsc/plugins/ that are not plug-in libraries, or that cannot be
// loaded, are passed over: the launcher starts and the sample plug-in after
// them in name order still serves the page.
TEST_F(DemoMediumExtensions, BrokenFilesInThePluginFolderDoNotStopTheLauncher) {
    medium_.WriteFile("rsc/plugins/0-text.so", "not a shared object\n");
    std::ifstream sample(BuiltFile(SAMPLE_PLUGIN_PATH), std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(sample), {});
    medium_.WriteFile("rsc/plugins/1-truncated.so", bytes.substr(0, bytes.size() / 2));
    // A plug-in library whose loading fails: the library it needs is missing.
    InstallPlugin(LOAD_FAILS_PLUGIN_PATH);
    // The sample under another name than it was built with.
    InstallPlugin(BuiltFile(SAMPLE_PLUGIN_PATH), "2-renamed.so");

    Launcher launcher(medium_, Environment());
    Window window = Show(launcher);
    ASSERT_NE(window, None);
    Click(window, 600, 20);
    FollowNextLink(window);
    EXPECT_TRUE(WaitUntil([&] { return medium_.Exists("ran-setup"); }));
    Keys(window, {"Escape"});
    EXPECT_EQ(launcher.WaitForExit(), 0) << launcher.ErrorOutput();
}

}  // namespace
