// The launcher's window end to end: the real launcher run in a real window
// under Xvfb, driven with xdotool, observed through the X server.
#include <gtest/gtest.h>

// Xlib's macros (None, Bool, ...) must come after the test framework.
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "gui_session.h"
#include "icon_file.h"

namespace {

using namespace GuiSession;

constexpr uint32_t kPageBlue = 0x2060A0;
constexpr uint32_t kBoxRed = 0xFF0000;
constexpr uint32_t kUnpaintedGrey = 0xF6F5F4;
constexpr int kBoxX = 450;
constexpr int kBoxY = 70;

std::string Id(Window window) {
    return std::to_string(window);
}

// Lets the page settle after an input that should change nothing.
void Settle() {
    WaitUntil([] { return false; }, 700ms);
}

class LauncherWindow : public testing::Test {
protected:
    // One connection for the whole run: when its last client leaves, the X
    // server resets, and a connection opened during the reset fails.
    static void SetUpTestSuite() {
        if (!screen_) {
            screen_ = std::make_unique<Desktop>();
        }
    }
    void SetUp() override { ASSERT_NE(screen_->display(), nullptr) << "no X display"; }

    Desktop& screen() { return *screen_; }

    // The launcher's window once it shows the page.
    Window Show(Launcher& launcher) {
        Window window = screen().WaitForWindow(launcher.pid());
        EXPECT_NE(window, None) << launcher.ErrorOutput();
        if (window != None) {
            EXPECT_TRUE(WaitUntil([&] {
                Desktop::Image image = screen().Capture(window);
                return !image.pixels.empty() && image.At(600, 400) == kPageBlue;
            }));
        }
        return window;
    }

    Medium medium_;

private:
    static std::unique_ptr<Desktop> screen_;
};

std::unique_ptr<Desktop> LauncherWindow::screen_;

// The first frame anyone sees is the finished page with its bound elements
// already hidden: the box is red in the page's style sheet and its component
// hides it before the window appears.
TEST_F(LauncherWindow, AppearsOnlyWhenThePageIsReadyWithTitleClassAndSize) {
    struct Case {
        const char* locale;
        const char* title;
    } cases[] = {
        {"en_US.UTF-8", "Autorun"}, {"ja_JP.UTF-8", "自動実行"}, {"ru_RU.UTF-8", "Автозапуск"}};
    medium_.WritePage({{"quit:", ""}});
    for (const Case& c : cases) {
        Launcher launcher(medium_, {{"LC_ALL", c.locale}});
        Window window = screen().WaitForWindow(launcher.pid());
        ASSERT_NE(window, None);
        // The X server shows a new window before its first paint: the first
        // painted frame must be the page, with the bound element hidden.
        Desktop::Image first;
        EXPECT_TRUE(WaitUntil([&] {
            first = screen().Capture(window);
            uint32_t pixel = first.pixels.empty() ? 0 : first.At(600, 400);
            return pixel != 0 && pixel != kUnpaintedGrey;
        }));
        screen().SaveArtifact(window, std::string("window-") + c.locale);
        EXPECT_EQ(screen().Title(window), c.title);
        EXPECT_EQ(first.width, 670);
        EXPECT_EQ(first.height, 490);
        EXPECT_EQ(first.At(600, 400), kPageBlue);
        EXPECT_EQ(first.At(kBoxX, kBoxY), kPageBlue) << "bound element shown before refresh";

        XWindowAttributes attributes{};
        Window child;
        int x = 0, y = 0;
        XGetWindowAttributes(screen().display(), window, &attributes);
        XTranslateCoordinates(screen().display(), window, attributes.root, 0, 0, &x, &y, &child);
        EXPECT_EQ(x, (WidthOfScreen(attributes.screen) - 670) / 2);
        EXPECT_EQ(y, (HeightOfScreen(attributes.screen) - 490) / 2);

        Click(window, LinkX(), LinkY(0));
        EXPECT_EQ(launcher.WaitForExit(), 0);
    }
}

// The window's icon comes from the installed product's folder, named in the
// machine's settings.
TEST_F(LauncherWindow, TakesItsIconFromTheInstalledProduct) {
    medium_.WritePage({{"quit:", ""}});
    medium_.WriteFile("product/rsc/appico.ico", IconFile(0x00FF00));
    medium_.WriteFile("registry/machine.reg",
                      "Windows Registry Editor Version 5.00\r\n\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvella\\1.0\\InstallDir]\r\n"
                      "@=\"" +
                          medium_.Path("product").string() + "\"\r\n");
    Launcher launcher(medium_, {{"ORVELLA_REGISTRY_DIR", medium_.Path("registry").string()}});
    Window window = Show(launcher);
    ASSERT_NE(window, None);
    std::vector<unsigned long> icon = screen().Icon(window);
    ASSERT_EQ(icon.size(), 2u + 16 * 16);
    EXPECT_EQ(icon[0], 16u);
    EXPECT_EQ(icon[2] & 0xFFFFFF, 0x00FF00u);
    Click(window, LinkX(), LinkY(0));
    EXPECT_EQ(launcher.WaitForExit(), 0);
}

TEST_F(LauncherWindow, RunLinksStartFilesFromTheLauncherFolder) {
    medium_.WriteMarkerScript("setup.sh", "ran-setup");
    medium_.WriteMarkerScript("My Setup.sh", "ran-my-setup");
    medium_.WriteMarkerScript("café.sh", "ran-cafe");
    medium_.WriteMarkerScript("Tools/setup.sh", "ran-tools-setup");
    medium_.WritePage({{"run:setup.sh", ""},
                       {"run:My%20Setup.sh", ""},
                       {"run:café.sh", ""},
                       {"run:Tools/setup.sh", ""}});
    Launcher launcher(medium_);
    Window window = Show(launcher);
    ASSERT_NE(window, None);
    Desktop::Image before = screen().Capture(window);

    struct Case {
        int row;
        const char* marker;
    } cases[] = {{0, "ran-setup"}, {1, "ran-my-setup"}, {2, "ran-cafe"}};
    for (const Case& c : cases) {
        Click(window, LinkX(), LinkY(c.row));
        EXPECT_TRUE(WaitUntil([&] { return medium_.Exists(c.marker); })) << c.marker;
    }
    // A folder part is dropped: the link starts setup.sh beside the launcher.
    std::filesystem::remove(medium_.Path("ran-setup"));
    Click(window, LinkX(), LinkY(3));
    EXPECT_TRUE(WaitUntil([&] { return medium_.Exists("ran-setup"); }));
    Settle();
    EXPECT_FALSE(medium_.Exists("ran-tools-setup"));
    EXPECT_TRUE(screen().Capture(window) == before) << "the page changed";
    screen().SaveArtifact(window, "after-run-links");
}

// The web engine's process starts with settings of the launcher's own in its
// environment; the programs the page starts get the launcher's environment
// as it was given.
TEST_F(LauncherWindow, ProgramsStartedByThePageGetTheLaunchersEnvironment) {
    medium_.WriteFile("env.sh",
                      "#!/bin/sh\nenv > environment.tmp && mv environment.tmp environment.txt\n");
    std::filesystem::permissions(medium_.Path("env.sh"), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    medium_.WritePage({{"run:env.sh", ""}});
    Launcher launcher(medium_, {{"ORVELLA_TEST_MARK", "given"}});
    Window window = Show(launcher);
    ASSERT_NE(window, None);
    Click(window, LinkX(), LinkY(0));
    ASSERT_TRUE(WaitUntil([&] { return medium_.Exists("environment.txt"); }));
    std::ifstream file(medium_.Path("environment.txt"));
    std::string environment(std::istreambuf_iterator<char>(file), {});
    EXPECT_NE(environment.find("ORVELLA_TEST_MARK=given\n"), std::string::npos) << environment;
    EXPECT_EQ(environment.find("JSC_"), std::string::npos) << environment;
    EXPECT_EQ(environment.find("WEBKIT_"), std::string::npos) << environment;
}

TEST_F(LauncherWindow, LinksThatAreNoCommandOrAskForANewWindowRunNothing) {
    medium_.WriteMarkerScript("setup.sh", "ran-setup");
    medium_.WritePage({{"http://127.0.0.1:9/page.html", ""},
                       {"run:setup.sh", "target=\"_blank\""},
                       {"run:setup.sh", ""},
                       {"run:setup.sh", "onclick=\"window.open('run:setup.sh'); return false\""}});
    Launcher launcher(medium_);
    Window window = Show(launcher);
    ASSERT_NE(window, None);
    Desktop::Image before = screen().Capture(window);

    Click(window, LinkX(), LinkY(0));
    Click(window, LinkX(), LinkY(1));
    RunTool({"xdotool", "mousemove", "--window", Id(window), std::to_string(LinkX()),
             std::to_string(LinkY(2)), "keydown", "shift", "click", "1", "keyup", "shift"});
    Click(window, LinkX(), LinkY(2), "2");
    Click(window, LinkX(), LinkY(3));
    Settle();
    EXPECT_FALSE(medium_.Exists("ran-setup"));
    EXPECT_EQ(screen().DialogWindows().size(), 1u);
    EXPECT_TRUE(screen().Capture(window) == before) << "the page changed";
    EXPECT_EQ(launcher.WaitForExit(0ms), -1) << "the launcher ended";
}

// The error of a failed "invoke:" belongs to the launcher's window; the page
// takes input again once it is closed.
TEST_F(LauncherWindow, InvokeShowsItsErrorOverTheWindowAndThePageGoesOn) {
    medium_.WriteMarkerScript("setup.sh", "ran-setup");
    medium_.WritePage({{"invoke:CID_Test::Missing", ""},
                       {"run:setup.sh", ""},
                       {"invoke:CID_Test::ToggleExtension", ""}});
    Launcher launcher(medium_);
    Window window = Show(launcher);
    ASSERT_NE(window, None);

    Click(window, LinkX(), LinkY(0));
    Window message = None;
    ASSERT_TRUE(WaitUntil([&] {
        for (Window candidate : screen().ClientWindows()) {
            if (screen().ProcessOf(candidate) == launcher.pid() && candidate != window &&
                screen().IsShown(candidate)) {
                message = candidate;
            }
        }
        return message != None;
    }));
    EXPECT_EQ(screen().TransientFor(message), window);
    EXPECT_EQ(screen().Title(message), "Orvella");
    screen().SaveArtifact(message, "invoke-error");
    Keys(message, {"Return"});
    ASSERT_TRUE(WaitUntil([&] { return !screen().IsShown(message); }));

    Click(window, LinkX(), LinkY(1));
    EXPECT_TRUE(WaitUntil([&] { return medium_.Exists("ran-setup"); }));

    // A component that exists runs, and the element bound to it follows its
    // answer right after the click.
    EXPECT_EQ(screen().Capture(window).At(kBoxX, kBoxY), kPageBlue);
    Click(window, LinkX(), LinkY(2));
    EXPECT_TRUE(WaitUntil([&] { return medium_.Exists("invoked.txt"); }));
    EXPECT_TRUE(WaitUntil([&] { return screen().Capture(window).At(kBoxX, kBoxY) == kBoxRed; }));
}

TEST_F(LauncherWindow, KeysReachThePageOnlyAsTabAndReturn) {
    medium_.WriteMarkerScript("setup.sh", "ran-setup");
    medium_.WritePage({{"run:setup.sh", ""}});
    Launcher launcher(medium_);
    Window window = Show(launcher);
    ASSERT_NE(window, None);
    Click(window, 450, 210);  // into the text field
    Desktop::Image before = screen().Capture(window);
    Keys(window, {"a", "b", "1", "space", "BackSpace", "Left", "ctrl+a"});
    Settle();
    EXPECT_TRUE(screen().Capture(window) == before) << "a key reached the page";
    EXPECT_EQ(launcher.WaitForExit(0ms), -1);

    // From the text field, Shift+Tab goes back to the link and Return follows it.
    Keys(window, {"shift+Tab", "Return"});
    EXPECT_TRUE(WaitUntil([&] { return medium_.Exists("ran-setup"); }));
}

TEST_F(LauncherWindow, EveryEndingExitsWithZero) {
    medium_.WritePage({{"quit:", ""}, {"quit:now", ""}, {"quit:/", ""}});
    struct Ending {
        const char* name;
        std::function<void(Desktop&, Launcher&, Window)> end;
    } endings[] = {
        {"quit link", [](Desktop&, Launcher&, Window w) { Click(w, LinkX(), LinkY(0)); }},
        {"Escape", [](Desktop&, Launcher&, Window w) { Keys(w, {"Escape"}); }},
        {"close",
         [](Desktop& s, Launcher&, Window w) {
             s.SendClientMessage(
                 w, "WM_PROTOCOLS",
                 static_cast<long>(XInternAtom(s.display(), "WM_DELETE_WINDOW", 0)));
         }},
        {"SIGTERM", [](Desktop&, Launcher& l, Window) { kill(l.pid(), SIGTERM); }},
        {"SIGHUP", [](Desktop&, Launcher& l, Window) { kill(l.pid(), SIGHUP); }},
        {"cancel broadcast",
         [](Desktop& s, Launcher&, Window) {
             for (Window top : s.ClientWindows()) {
                 s.SendClientMessage(top, "Dravik::CancelDialog");
             }
         }},
        {"log-off message",
         [](Desktop& s, Launcher&, Window w) { s.SendClientMessage(w, "Tarnis::LogoffMessage"); }},
    };
    for (const Ending& ending : endings) {
        Launcher launcher(medium_);
        Window window = Show(launcher);
        ASSERT_NE(window, None) << ending.name;
        if (std::string(ending.name) == "quit link") {
            // Only exactly "quit:" ends the run.
            Click(window, LinkX(), LinkY(1));
            Click(window, LinkX(), LinkY(2));
            Settle();
            EXPECT_EQ(launcher.WaitForExit(0ms), -1);
        }
        ending.end(screen(), launcher, window);
        EXPECT_EQ(launcher.WaitForExit(), 0) << ending.name << "\n" << launcher.ErrorOutput();
    }
}

TEST_F(LauncherWindow, ASecondStartBringsTheFirstWindowToTheFrontAndExitsWithOne) {
    medium_.WritePage({{"quit:", ""}});
    Launcher first(medium_);
    Window window = Show(first);
    ASSERT_NE(window, None);

    Display* display = screen().display();
    Window cover =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1280, 1024, 0, 0, 0);
    XClassHint hint{const_cast<char*>("cover"), const_cast<char*>("Cover")};
    XSetClassHint(display, cover, &hint);
    XMapRaised(display, cover);
    XSync(display, False);
    ASSERT_EQ(screen().ClientWindows().back(), cover);

    Launcher second(medium_);
    EXPECT_EQ(second.WaitForExit(), 1);
    EXPECT_TRUE(WaitUntil([&] { return screen().ClientWindows().back() == window; }));
    XDestroyWindow(display, cover);
    XSync(display, False);
    EXPECT_EQ(first.WaitForExit(0ms), -1);
}

// A start-up failure is shown in a message box captioned "Orvella" and still
// ends with 0; without a display its text goes to standard error.
TEST_F(LauncherWindow, AFailedStartUpShowsTheLocalizedMessageAndExitsWithZero) {
    Launcher launcher(medium_);
    Window message = None;
    ASSERT_TRUE(WaitUntil([&] {
        for (Window candidate : screen().ClientWindows()) {
            if (screen().ProcessOf(candidate) == launcher.pid() && screen().IsShown(candidate)) {
                message = candidate;
            }
        }
        return message != None;
    })) << launcher.ErrorOutput();
    EXPECT_EQ(screen().Title(message), "Orvella");
    screen().SaveArtifact(message, "start-up-failure");
    Keys(message, {"Return"});
    EXPECT_EQ(launcher.WaitForExit(), 0);

    Launcher without_display(medium_, {{"DISPLAY", ""}, {"LC_ALL", "ja_JP.UTF-8"}});
    EXPECT_EQ(without_display.WaitForExit(), 0);
    EXPECT_NE(
        without_display.ErrorOutput().find("Orvella: アプリケーションを初期化できませんでした。"),
        std::string::npos)
        << without_display.ErrorOutput();
}

// Only a window manager iconifies: this test runs one in an X server of its own.
TEST_F(LauncherWindow, ASecondStartRestoresTheFirstWindowWhenItIsIconified) {
    ManagedDisplay managed;
    ASSERT_FALSE(managed.name().empty());
    Desktop desktop(managed.name().c_str());
    medium_.WritePage({{"quit:", ""}});
    Launcher first(medium_, {{"DISPLAY", managed.name()}});
    Window window = desktop.WaitForWindow(first.pid());
    ASSERT_NE(window, None) << first.ErrorOutput();
    RunTool({"xdotool", "windowminimize", "--sync", Id(window)}, {{"DISPLAY", managed.name()}});
    ASSERT_TRUE(WaitUntil([&] { return !desktop.IsShown(window); }));

    Launcher second(medium_, {{"DISPLAY", managed.name()}});
    EXPECT_EQ(second.WaitForExit(), 1);
    EXPECT_TRUE(WaitUntil([&] { return desktop.IsShown(window); }));
    EXPECT_TRUE(WaitUntil([&] { return desktop.ActiveWindow() == window; }));
    kill(first.pid(), SIGTERM);
    EXPECT_EQ(first.WaitForExit(), 0);
}

// The page program reads its page from a named pipe, so the first launcher
// holds the lock while its page is still being built.
TEST_F(LauncherWindow, ASecondStartWhileTheFirstBuildsItsPageExitsWithoutAWindow) {
    medium_.WritePage({{"quit:", ""}});
    std::filesystem::rename(medium_.Path("page.html"), medium_.Path("page.ready"));
    ASSERT_EQ(mkfifo(medium_.Path("page.html").c_str(), 0600), 0);
    Launcher first(medium_);
    Settle();
    Launcher second(medium_);
    EXPECT_EQ(second.WaitForExit(), 1);
    EXPECT_TRUE(screen().DialogWindows().empty());

    {
        std::ifstream ready(medium_.Path("page.ready"));
        std::ofstream(medium_.Path("page.html")) << ready.rdbuf();
    }
    Window window = Show(first);
    ASSERT_NE(window, None);
    Click(window, LinkX(), LinkY(0));
    EXPECT_EQ(first.WaitForExit(), 0);
}

TEST_F(LauncherWindow, TwentyLaunchersStartedTogetherLeaveOneWindow) {
    medium_.WritePage({{"quit:", ""}});
    std::vector<std::unique_ptr<Launcher>> launchers;
    for (int i = 0; i < 20; ++i) {
        launchers.push_back(std::make_unique<Launcher>(medium_));
    }
    Launcher* running = nullptr;
    int second_starts = 0;
    for (auto& launcher : launchers) {
        int status = launcher->WaitForExit(3s);
        if (status == 1) {
            ++second_starts;
        } else {
            EXPECT_EQ(status, -1);
            running = launcher.get();
        }
    }
    EXPECT_EQ(second_starts, 19);
    ASSERT_NE(running, nullptr);
    Window window = Show(*running);
    EXPECT_EQ(screen().DialogWindows().size(), 1u);
    Click(window, LinkX(), LinkY(0));
    EXPECT_EQ(running->WaitForExit(), 0);
}

}  // namespace

namespace {

// The real launcher on a medium of its own files.
class LauncherOnMedium : public LauncherWindow {
protected:
    LauncherOnMedium() : medium_(Medium::Program::kLauncher) {}

    void CopyDemoMedium() {
        std::filesystem::copy(DEMO_MEDIUM_DIR, medium_.folder(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::skip_existing);
    }

    Medium medium_;
};

// The demo medium through the real start-up: the page in the user's language,
// its style sheet and image from the medium.
TEST_F(LauncherOnMedium, ShowsTheDemoMediumInTheUsersLanguage) {
    CopyDemoMedium();
    Launcher launcher(medium_, {{"LC_ALL", "de_DE.UTF-8"}});
    Window window = screen().WaitForWindow(launcher.pid());
    ASSERT_NE(window, None) << launcher.ErrorOutput();
    Desktop::Image page;
    ASSERT_TRUE(WaitUntil([&] {
        page = screen().Capture(window);
        // The header's dark blue from rsc/autorun.css.
        return !page.pixels.empty() && page.At(4, 4) == 0x0D3B66;
    })) << launcher.ErrorOutput();
    screen().SaveArtifact(window, "demo-medium-de");
    EXPECT_EQ(screen().Title(window), "Autorun");
    EXPECT_EQ(page.width, 670);
    EXPECT_EQ(page.height, 490);
    Keys(window, {"Escape"});
    EXPECT_EQ(launcher.WaitForExit(), 0);
}

// A broken medium shows the localized failure in a message box and ends with 0;
// without a display the same text goes to standard error.
TEST_F(LauncherOnMedium, ABrokenMediumShowsTheLocalizedFailure) {
    const std::string failed = "Orvella: Failed to initialize the application.";
    struct Case {
        const char* what;
        const char* page_template;  // null: no template file
        const char* data;           // null: no data file
        std::string message;
    } cases[] = {
        {"missing template", nullptr, "<content><data/></content>",
         failed + "\nNo such file or directory\n"},
        {"malformed data file", "page", "<content><data><a></b></data></content>",
         failed + "\nAn internal error occurred (xml: xml-parser-syntax-struc(1:22)).\n"},
        {"template syntax error", "<%open%>", "<content><data/></content>",
         failed + "\nSyntax error in the HTML template.\n"},
        {"data file without data", "page", "<content><other/></content>",
         failed + "\nIncorrect format in XML data file.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Medium medium(Medium::Program::kLauncher);
        if (c.page_template) {
            medium.WriteFile("rsc/autorun.tpl", c.page_template);
        }
        if (c.data) {
            medium.WriteFile("autorun.xml", c.data);
        }
        Launcher shown(medium, {{"LC_ALL", "en_US.UTF-8"}});
        Window message = None;
        ASSERT_TRUE(WaitUntil([&] {
            for (Window candidate : screen().ClientWindows()) {
                if (screen().ProcessOf(candidate) == shown.pid() && screen().IsShown(candidate)) {
                    message = candidate;
                }
            }
            return message != None;
        })) << shown.ErrorOutput();
        EXPECT_EQ(screen().Title(message), "Orvella");
        Keys(message, {"Return"});
        EXPECT_EQ(shown.WaitForExit(), 0);

        Launcher printed(medium, {{"DISPLAY", ""}, {"LC_ALL", "en_US.UTF-8"}});
        EXPECT_EQ(printed.WaitForExit(), 0);
        EXPECT_NE(printed.ErrorOutput().find(c.message), std::string::npos)
            << printed.ErrorOutput();
    }
}

}  // namespace

namespace {

// A machine without the web engine (neither WebKitGTK 4.1 nor 4.0), or without
// GTK too: the loader does not find them (hide_library), yet the launcher
// starts and says what to install, in a message box when GTK and a display are
// there, otherwise on standard error, and ends with 0 as for any failed
// start-up.
TEST_F(LauncherOnMedium, WithoutTheWebEngineSaysWhatToInstall) {
    CopyDemoMedium();
    struct Case {
        const char* hidden;
        bool display;
        const char* locale;
        const char* message;  // on standard error; null: in a message box
    } cases[] = {
        {"libwebkit2gtk-4.1.so:libwebkit2gtk-4.0.so", true, "en_US.UTF-8", nullptr},
        {"libwebkit2gtk-4.1.so:libwebkit2gtk-4.0.so", false, "ja_JP.UTF-8",
         "Orvella: アプリケーションを初期化できませんでした。\n"
         "Web エンジン WebKitGTK 4.1 がインストールされていません。パッケージ "
         "libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1) をインストールしてください。\n"},
        {"libwebkit2gtk-4.1.so:libwebkit2gtk-4.0.so:libgtk-3.so", true, "en_US.UTF-8",
         "Orvella: Failed to initialize the application.\n"
         "The web engine WebKitGTK 4.1 is not installed. Install the package "
         "libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1).\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hidden + std::string(c.display ? " with a display" : " without one"));
        std::map<std::string, std::string> environment = {
            {"LD_AUDIT", HIDE_LIBRARY_PATH}, {"HIDE_LIBRARIES", c.hidden}, {"LC_ALL", c.locale}};
        if (!c.display) {
            environment["DISPLAY"] = "";
        }
        Launcher launcher(medium_, environment);
        if (c.message) {
            EXPECT_EQ(launcher.WaitForExit(), 0);
            EXPECT_NE(launcher.ErrorOutput().find(c.message), std::string::npos)
                << launcher.ErrorOutput();
            continue;
        }
        Window message = None;
        ASSERT_TRUE(WaitUntil([&] {
            for (Window candidate : screen().ClientWindows()) {
                if (screen().ProcessOf(candidate) == launcher.pid() &&
                    screen().IsShown(candidate)) {
                    message = candidate;
                }
            }
            return message != None;
        })) << launcher.ErrorOutput();
        EXPECT_EQ(screen().Title(message), "Orvella");
        screen().SaveArtifact(message, "web-engine-missing");
        Keys(message, {"Return"});
        EXPECT_EQ(launcher.WaitForExit(), 0);
    }
}

// A WebKitGTK older than the newest function the window code calls: the
// launcher starts, says which release it found and which it needs, and ends
// with 0 as for any failed start-up.
TEST_F(LauncherOnMedium, WithAnOlderWebEngineSaysWhichVersionItNeeds) {
    CopyDemoMedium();
    Launcher launcher(medium_, {{"LD_AUDIT", HIDE_LIBRARY_PATH},
                                {"HIDE_LIBRARIES", "libwebkit2gtk-4.1.so"},
                                {"LD_LIBRARY_PATH", OLD_WEBKIT_DIR},
                                {"DISPLAY", ""},
                                {"LC_ALL", "en_US.UTF-8"}});
    EXPECT_EQ(launcher.WaitForExit(), 0);
    EXPECT_NE(launcher.ErrorOutput().find(
                  "Orvella: Failed to initialize the application.\n"
                  "The web engine WebKitGTK on this system is version 2.38.0; the menu needs "
                  "2.40 or newer."),
              std::string::npos)
        << launcher.ErrorOutput();
}

// A machine with WebKitGTK 4.0 only (Ubuntu 20.04, Debian 11): the launcher
// shows the page with it, and with it alone.
TEST_F(LauncherOnMedium, ShowsThePageWithWebKitGtk40WhereThereIsNo41) {
    CopyDemoMedium();
    Launcher launcher(medium_, {{"LD_AUDIT", HIDE_LIBRARY_PATH},
                                {"HIDE_LIBRARIES", "libwebkit2gtk-4.1.so"},
                                {"LC_ALL", "en_US.UTF-8"}});
    Window window = screen().WaitForWindow(launcher.pid());
    ASSERT_NE(window, None) << launcher.ErrorOutput();
    ASSERT_TRUE(WaitUntil([&] {
        Desktop::Image page = screen().Capture(window);
        return !page.pixels.empty() && page.At(4, 4) == 0x0D3B66;
    })) << launcher.ErrorOutput();
    screen().SaveArtifact(window, "demo-medium-webkitgtk-4.0");
    std::ifstream maps("/proc/" + std::to_string(launcher.pid()) + "/maps");
    std::string mapped(std::istreambuf_iterator<char>(maps), {});
    EXPECT_NE(mapped.find("libwebkit2gtk-4.0.so.37"), std::string::npos);
    EXPECT_EQ(mapped.find("libwebkit2gtk-4.1.so"), std::string::npos);
    Keys(window, {"Escape"});
    EXPECT_EQ(launcher.WaitForExit(), 0);
}

}  // namespace
