#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

// What the end-to-end tests need of a real launcher in a real X session:
// media in temporary folders, launcher processes, and the X server's view of
// their windows (xdotool for input, as a user's devices would give it).
namespace GuiSession {

using namespace std::chrono_literals;

// Polls `done` until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s);

// Starts a program; the caller waits for it (waitpid).
pid_t StartProgram(const std::vector<std::string>& argv,
                   const std::map<std::string, std::string>& environment = {});

// Runs a program to its end (xdotool and the like); returns its exit status.
int RunTool(const std::vector<std::string>& argv,
            const std::map<std::string, std::string>& environment = {});

// A file of the build: the launcher and the plug-ins media carry. With
// ORV_GUI_LAUNCHER_BUILD set, the same file of that build folder instead (a
// build of the files for media, whose launcher runs the same tests).
std::string BuiltFile(const std::string& path);

// Input as a user's devices give it: a click at a point of the window, and keys
// (xdotool's names) once the window has the focus.
void Click(Window window, int x, int y, const std::string& button = "1");
void Keys(Window window, const std::vector<std::string>& keys);

// A medium: a temporary folder with a launcher program copied in, so that
// relative "run:" targets resolve against it. By default the launcher is the
// page program (show_page); the real launcher reads the medium's own files.
class Medium {
public:
    enum class Program { kShowPage, kLauncher };
    explicit Medium(Program program = Program::kShowPage);
    ~Medium();
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path Path(const std::string& name) const { return folder_ / name; }
    void WriteFile(const std::string& name, const std::string& text) const;
    // A shell script that creates the file `marker` in the medium folder.
    void WriteMarkerScript(const std::string& name, const std::string& marker) const;
    bool Exists(const std::string& name) const;
    // The page: one link per entry (href and extra attributes) at row i, a box
    // "box" bound to the toggle extension, a text field.
    void WritePage(const std::vector<std::pair<std::string, std::string>>& links) const;

private:
    std::filesystem::path folder_;
};

// The centre of link row i of a page from Medium::WritePage.
inline int LinkX() {
    return 60;
}
inline int LinkY(int row) {
    return 32 + 40 * row;
}

// A launcher process running in a medium's folder.
class Launcher {
public:
    // Environment entries override the test's own (an empty value removes one).
    Launcher(const Medium& medium, std::map<std::string, std::string> environment = {});
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    pid_t pid() const { return pid_; }
    // The exit status, or -1 when it is still running after `limit`.
    int WaitForExit(std::chrono::milliseconds limit = 20s);
    std::string ErrorOutput() const;

private:
    const Medium& medium_;
    pid_t pid_ = -1;
    int status_ = -1;
};

// An X server of the tests' own with a window manager, for what only a window
// manager does (iconify, activate).
class ManagedDisplay {
public:
    ManagedDisplay();
    ~ManagedDisplay();
    ManagedDisplay(const ManagedDisplay&) = delete;
    ManagedDisplay& operator=(const ManagedDisplay&) = delete;

    // ":N", empty when the server did not start.
    const std::string& name() const { return name_; }

private:
    pid_t server_ = -1;
    pid_t window_manager_ = -1;
    std::string name_;
};

// The tests' connection to an X server.
class Desktop {
public:
    explicit Desktop(const char* display_name = nullptr);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    Display* display() const { return display_; }
    // Top-level client windows of the launcher class "#32770", visible or not.
    std::vector<Window> DialogWindows();
    // The visible dialog window of a process, waiting for it to appear.
    Window WaitForWindow(pid_t pid, std::chrono::milliseconds limit = 20s);
    bool IsShown(Window window);
    std::string Title(Window window);
    pid_t ProcessOf(Window window);
    Window TransientFor(Window window);
    // The window's icon (_NET_WM_ICON): width, height, then ARGB pixels.
    std::vector<unsigned long> Icon(Window window);
    // The window manager's active window (_NET_ACTIVE_WINDOW).
    Window ActiveWindow();
    // Top-level client windows, bottom to top.
    std::vector<Window> ClientWindows();
    void SendClientMessage(Window window, const char* type, long data0 = 0);

    struct Image {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> pixels;  // 0xRRGGBB
        uint32_t At(int x, int y) const { return pixels[y * width + x]; }
        bool operator==(const Image&) const = default;
    };
    Image Capture(Window window);
    // Keeps a screenshot as a test artifact.
    void SaveArtifact(Window window, const std::string& name);

private:
    Display* display_;
};

}  // namespace GuiSession
