// Start to page shown: the launcher against the engine's floor (webkit_floor),
// run in turns in one X session, and the launcher's peak memory together with
// its web processes. Usage, in the folder of the medium:
//   launcher_startup <runs> <launcher> <floor> <page.html>
// "Page shown" is the first frame of the window that shows the page's colour
// near its top left corner (the X server maps a window before its first paint).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

pid_t WindowProcess(Display* display, Window window) {
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    pid_t pid = 0;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False,
                           XA_CARDINAL, &type, &format, &count, &remaining, &data) == Success &&
        data) {
        pid = count ? static_cast<pid_t>(reinterpret_cast<unsigned long*>(data)[0]) : 0;
        XFree(data);
    }
    return pid;
}

// A pixel near the top left corner of the process's visible top-level window,
// or -1.
long CornerPixel(Display* display, pid_t pid) {
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    long pixel = -1;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count && pixel < 0; ++i) {
        XWindowAttributes attributes{};
        if (WindowProcess(display, children[i]) != pid ||
            !XGetWindowAttributes(display, children[i], &attributes) ||
            attributes.map_state != IsViewable) {
            continue;
        }
        XImage* image = XGetImage(display, children[i], 2, 2, 1, 1, AllPlanes, ZPixmap);
        if (image) {
            pixel = static_cast<long>(XGetPixel(image, 0, 0) & 0xFFFFFF);
            XDestroyImage(image);
        }
    }
    if (children) {
        XFree(children);
    }
    return pixel;
}

pid_t Start(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (std::string& arg : argv) {
        args.push_back(arg.data());
    }
    args.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) == 0 ? pid : -1;
}

long StatusField(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(field + ":")) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return 0;
}

// Peak resident memory of the process and of its child processes, in KiB.
long PeakMemory(pid_t pid) {
    long total = StatusField(pid, "VmHWM");
    DIR* proc = opendir("/proc");
    while (dirent* entry = readdir(proc)) {
        pid_t child = static_cast<pid_t>(std::atol(entry->d_name));
        if (child > 0 && StatusField(child, "PPid") == pid) {
            total += StatusField(child, "VmHWM");
        }
    }
    closedir(proc);
    return total;
}

struct Sample {
    double milliseconds;
    long peak_kib;
};

// One start of a program, until its window shows the page colour.
Sample Measure(Display* display, const std::vector<std::string>& argv, long page_colour) {
    auto start = Clock::now();
    pid_t pid = Start(argv);
    while (CornerPixel(display, pid) != page_colour) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (Clock::now() - start > std::chrono::seconds(30)) {
            break;
        }
    }
    Sample sample{std::chrono::duration<double, std::milli>(Clock::now() - start).count(), 0};
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sample.peak_kib = PeakMemory(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return sample;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s <runs> <launcher> <floor> <page.html>\n", argv[0]);
        return 2;
    }
    int runs = std::max(1, std::atoi(argv[1]));
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreXError);
    constexpr long kPageColour = 0x0D3B66;  // the demo page header, top left
    std::vector<double> launcher_ms, floor_ms;
    long launcher_peak = 0, floor_peak = 0;
    for (int run = 0; run < runs; ++run) {
        Sample launcher = Measure(display, {argv[2]}, kPageColour);
        Sample floor = Measure(display, {argv[3], argv[4]}, kPageColour);
        launcher_ms.push_back(launcher.milliseconds);
        floor_ms.push_back(floor.milliseconds);
        launcher_peak = std::max(launcher_peak, launcher.peak_kib);
        floor_peak = std::max(floor_peak, floor.peak_kib);
    }
    double launcher = Median(launcher_ms), floor = Median(floor_ms);
    std::printf("start to page shown, median of %d runs:\n", runs);
    std::printf("  launcher            %8.1f ms\n", launcher);
    std::printf("  WebKitGTK floor     %8.1f ms\n", floor);
    std::printf("  launcher's own work %8.1f ms (%.1f%% of the total)\n", launcher - floor,
                100.0 * (launcher - floor) / launcher);
    std::printf("peak memory with web processes:\n");
    std::printf("  launcher            %8.1f MiB\n", launcher_peak / 1024.0);
    std::printf("  WebKitGTK floor     %8.1f MiB\n", floor_peak / 1024.0);
    XCloseDisplay(display);
    return 0;
}
