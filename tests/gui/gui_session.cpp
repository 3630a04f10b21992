#include "gui_session.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

extern char** environ;

namespace GuiSession {

namespace {

int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// The items of a window property of `type`, as Xlib hands them over: format-32
// items as longs, format-8 items as chars. `length` counts 32-bit units.
template <typename Item>
std::vector<Item> ReadProperty(Display* display, Window window, const char* name, Atom type,
                               long length) {
    Atom actual_type;
    int format;
    unsigned long count = 0, remaining;
    unsigned char* data = nullptr;
    std::vector<Item> items;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, length, False,
                           type, &actual_type, &format, &count, &remaining, &data) == Success &&
        data) {
        const Item* values = reinterpret_cast<const Item*>(data);
        items.assign(values, values + count);
        XFree(data);
    }
    return items;
}

std::vector<std::string> Environment(const std::map<std::string, std::string>& overrides) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        std::string name = text.substr(0, text.find('='));
        if (!overrides.contains(name)) {
            entries.push_back(text);
        }
    }
    for (const auto& [name, value] : overrides) {
        if (!value.empty()) {
            entries.push_back(name + "=" + value);
        }
    }
    return entries;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
            const std::filesystem::path& folder = {},
            const std::filesystem::path& error_output = {}) {
    std::vector<std::string> environment = Environment(env);
    std::vector<char*> args, envp;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    }
    if (!error_output.empty()) {
        posix_spawn_file_actions_addopen(&actions, 2, error_output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

std::filesystem::path WorkFolder() {
    std::filesystem::path folder = GUI_WORK_DIR;
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(30ms);
    }
    return true;
}

pid_t StartProgram(const std::vector<std::string>& argv,
                   const std::map<std::string, std::string>& environment) {
    return Spawn(argv, environment);
}

int RunTool(const std::vector<std::string>& argv,
            const std::map<std::string, std::string>& environment) {
    pid_t pid = Spawn(argv, environment);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Click(Window window, int x, int y, const std::string& button) {
    RunTool({"xdotool", "mousemove", "--window", std::to_string(window), std::to_string(x),
             std::to_string(y), "click", button});
}

void Keys(Window window, const std::vector<std::string>& keys) {
    RunTool({"xdotool", "windowfocus", "--sync", std::to_string(window)});
    std::vector<std::string> command = {"xdotool", "key", "--delay", "50"};
    command.insert(command.end(), keys.begin(), keys.end());
    RunTool(command);
}

std::string BuiltFile(const std::string& path) {
    const char* other = std::getenv("ORV_GUI_LAUNCHER_BUILD");
    const std::string build = GUI_BUILD_DIR;
    if (!other || !*other || path.compare(0, build.size(), build) != 0) {
        return path;
    }
    return other + path.substr(build.size());
}

Medium::Medium(Program program) {
    folder_ = WorkFolder() / ("medium-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(folder_ / "locks");
    const std::string launcher =
        program == Program::kLauncher ? BuiltFile(AUTORUN_PATH) : SHOW_PAGE_PATH;
    std::error_code error;
    std::filesystem::create_hard_link(launcher, folder_ / "autorun", error);
    if (error) {
        std::filesystem::copy_file(launcher, folder_ / "autorun");
    }
}

Medium::~Medium() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void Medium::WriteFile(const std::string& name, const std::string& text) const {
    std::filesystem::create_directories(Path(name).parent_path());
    std::ofstream(Path(name), std::ios::binary) << text;
}

void Medium::WriteMarkerScript(const std::string& name, const std::string& marker) const {
    WriteFile(name, "#!/bin/sh\n: > '" + marker + "'\n");
    std::filesystem::permissions(Path(name), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
}

bool Medium::Exists(const std::string& name) const {
    return std::filesystem::exists(Path(name));
}

void Medium::WritePage(const std::vector<std::pair<std::string, std::string>>& links) const {
    std::ostringstream page;
    page << "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
            "body{margin:0;background:#2060a0;font:16px sans-serif}"
            "a{position:absolute;left:20px;width:300px;height:24px;display:block;color:#ff0;"
            "outline:none;text-decoration:none}"
            "#box{position:absolute;left:400px;top:20px;width:100px;height:100px;"
            "background:#f00}"
            "input{position:absolute;left:400px;top:200px;width:200px;font:16px monospace;"
            "caret-color:transparent}"
            "</style><script>function SetObjectVisibility(id, shown) {"
            " document.getElementById(id).style.visibility = shown ? 'visible' : 'hidden'; }"
            "</script></head><body>";
    for (size_t row = 0; row < links.size(); ++row) {
        page << "<a style=\"top:" << 20 + 40 * row << "px\" href=\"" << links[row].first << "\" "
             << links[row].second << ">link " << row << "</a>";
    }
    // Content below the window's edge: the window keeps its size all the same.
    page << "<div id=\"box\"></div><input id=\"field\" value=\"\">"
            "<div style=\"position:absolute;top:1500px\">end</div></body></html>";
    WriteFile("page.html", page.str());
    WriteFile("visibility.txt", "box CID_Test::ToggleExtension\n");
}

Launcher::Launcher(const Medium& medium, std::map<std::string, std::string> environment)
    : medium_(medium) {
    environment.try_emplace("XDG_RUNTIME_DIR", medium.Path("locks").string());
    // GTK and the web engine keep caches for the process's life.
    environment.try_emplace("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1");
    environment.try_emplace("LC_ALL", "C.UTF-8");
    pid_ = Spawn({medium.Path("autorun").string()}, environment, medium.folder(),
                 medium.Path("stderr-" + std::to_string(std::random_device()()) + ".txt"));
}

Launcher::~Launcher() {
    if (WaitForExit(0ms) == -1 && status_ == -1 && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

int Launcher::WaitForExit(std::chrono::milliseconds limit) {
    if (status_ != -1 || pid_ <= 0) {
        return status_;
    }
    int status = 0;
    WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, limit) &&
        (status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    return status_;
}

std::string Launcher::ErrorOutput() const {
    std::string text;
    for (const auto& entry : std::filesystem::directory_iterator(medium_.folder())) {
        if (entry.path().filename().string().starts_with("stderr-")) {
            std::ifstream file(entry.path());
            text += std::string(std::istreambuf_iterator<char>(file), {});
        }
    }
    return text;
}

ManagedDisplay::ManagedDisplay() {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) {
        return;
    }
    server_ = Spawn({"Xvfb", "-displayfd", std::to_string(pipe_fds[1]), "-screen", "0",
                     "1280x1024x24", "-nolisten", "tcp"},
                    {});
    close(pipe_fds[1]);
    std::string number;
    char c;
    while (read(pipe_fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(pipe_fds[0]);
    if (server_ < 0 || number.empty()) {
        return;
    }
    name_ = ":" + number;
    window_manager_ = Spawn({"openbox"}, {{"DISPLAY", name_}});
    Desktop desktop(name_.c_str());
    WaitUntil([&] {
        return ReadProperty<Window>(desktop.display(), DefaultRootWindow(desktop.display()),
                                    "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1)
                   .size() == 1;
    });
}

ManagedDisplay::~ManagedDisplay() {
    for (pid_t pid : {window_manager_, server_}) {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
}

Desktop::Desktop(const char* display_name) : display_(XOpenDisplay(display_name)) {
    XSetErrorHandler(IgnoreXError);
}

Desktop::~Desktop() {
    if (display_) {
        XCloseDisplay(display_);
    }
}

std::vector<Window> Desktop::ClientWindows() {
    std::vector<Window> clients;
    std::function<void(Window, int)> walk = [&](Window parent, int depth) {
        Window root, grandparent, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, parent, &root, &grandparent, &children, &count)) {
            return;
        }
        for (unsigned int i = 0; i < count; ++i) {
            XClassHint hint{};
            if (XGetClassHint(display_, children[i], &hint)) {
                clients.push_back(children[i]);
                XFree(hint.res_name);
                XFree(hint.res_class);
            } else if (depth > 0) {
                walk(children[i], depth - 1);
            }
        }
        XFree(children);
    };
    walk(DefaultRootWindow(display_), 2);
    return clients;
}

std::vector<Window> Desktop::DialogWindows() {
    std::vector<Window> dialogs;
    for (Window window : ClientWindows()) {
        XClassHint hint{};
        if (XGetClassHint(display_, window, &hint)) {
            if (hint.res_class && std::strcmp(hint.res_class, "#32770") == 0) {
                dialogs.push_back(window);
            }
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
    }
    return dialogs;
}

bool Desktop::IsShown(Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display_, window, &attributes) &&
           attributes.map_state == IsViewable;
}

Window Desktop::WaitForWindow(pid_t pid, std::chrono::milliseconds limit) {
    Window found = None;
    WaitUntil(
        [&] {
            for (Window window : DialogWindows()) {
                if (ProcessOf(window) == pid && IsShown(window)) {
                    found = window;
                }
            }
            return found != None;
        },
        limit);
    return found;
}

std::string Desktop::Title(Window window) {
    std::vector<char> title = ReadProperty<char>(display_, window, "_NET_WM_NAME",
                                                 XInternAtom(display_, "UTF8_STRING", False), 1024);
    return std::string(title.begin(), title.end());
}

pid_t Desktop::ProcessOf(Window window) {
    std::vector<unsigned long> pid =
        ReadProperty<unsigned long>(display_, window, "_NET_WM_PID", XA_CARDINAL, 1);
    return pid.size() == 1 ? static_cast<pid_t>(pid[0]) : 0;
}

Window Desktop::TransientFor(Window window) {
    Window owner = None;
    XGetTransientForHint(display_, window, &owner);
    return owner;
}

std::vector<unsigned long> Desktop::Icon(Window window) {
    return ReadProperty<unsigned long>(display_, window, "_NET_WM_ICON", XA_CARDINAL, 1 << 16);
}

Window Desktop::ActiveWindow() {
    std::vector<Window> active = ReadProperty<Window>(display_, DefaultRootWindow(display_),
                                                      "_NET_ACTIVE_WINDOW", XA_WINDOW, 1);
    return active.size() == 1 ? active[0] : None;
}

void Desktop::SendClientMessage(Window window, const char* type, long data0) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, type, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = data0;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
}

Desktop::Image Desktop::Capture(Window window) {
    Image image;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window, &attributes)) {
        return image;
    }
    XImage* shot =
        XGetImage(display_, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!shot) {
        return image;
    }
    image.width = attributes.width;
    image.height = attributes.height;
    image.pixels.reserve(image.width * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            image.pixels.push_back(XGetPixel(shot, x, y) & 0xFFFFFF);
        }
    }
    XDestroyImage(shot);
    return image;
}

void Desktop::SaveArtifact(Window window, const std::string& name) {
    Image image = Capture(window);
    if (image.pixels.empty()) {
        return;
    }
    std::vector<guchar> rgb;
    for (uint32_t pixel : image.pixels) {
        rgb.insert(rgb.end(), {static_cast<guchar>(pixel >> 16), static_cast<guchar>(pixel >> 8),
                               static_cast<guchar>(pixel)});
    }
    GdkPixbuf* pixbuf =
        gdk_pixbuf_new_from_data(rgb.data(), GDK_COLORSPACE_RGB, FALSE, 8, image.width,
                                 image.height, image.width * 3, nullptr, nullptr);
    std::filesystem::create_directories(GUI_ARTIFACTS_DIR);
    std::string path = std::string(GUI_ARTIFACTS_DIR) + "/" + name + ".png";
    gdk_pixbuf_save(pixbuf, path.c_str(), "png", nullptr, nullptr);
    g_object_unref(pixbuf);
}

}  // namespace GuiSession
