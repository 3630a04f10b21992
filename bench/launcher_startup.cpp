// Start to page shown and memory: the launcher beside the engine's floor
// (webkit_floor, the smallest WebKitGTK program showing the same finished
// page), both started again and again in one X session, in turns. Usage, in
// the folder of the medium:
//   launcher_startup [benchmark flags] <launcher> <floor> <page.html>
//
// "Page shown" is the first frame of the window that shows the page's colour
// near its top left corner (the X server maps a window before its first paint).
// Memory is measured over the program and every process it started (the web
// engine's): the proportional set size at the moment the page is shown
// (smaps_rollup: a shared page counts once, split between its users), and the
// sum of each process's peak resident size (a shared library counts once per
// process). The table at the end gives the medians and the ratios.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kPageColour = 0x0D3B66;  // the demo page's header, top left

Display* g_display = nullptr;

int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

pid_t WindowProcess(Window window) {
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    pid_t pid = 0;
    if (XGetWindowProperty(g_display, window, XInternAtom(g_display, "_NET_WM_PID", False), 0, 1,
                           False, XA_CARDINAL, &type, &format, &count, &remaining,
                           &data) == Success &&
        data) {
        pid = count ? static_cast<pid_t>(reinterpret_cast<unsigned long*>(data)[0]) : 0;
        XFree(data);
    }
    return pid;
}

// A pixel near the top left corner of the process's visible top-level window,
// or -1.
long CornerPixel(pid_t pid) {
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    long pixel = -1;
    XQueryTree(g_display, DefaultRootWindow(g_display), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count && pixel < 0; ++i) {
        XWindowAttributes attributes{};
        if (WindowProcess(children[i]) != pid ||
            !XGetWindowAttributes(g_display, children[i], &attributes) ||
            attributes.map_state != IsViewable) {
            continue;
        }
        XImage* image = XGetImage(g_display, children[i], 2, 2, 1, 1, AllPlanes, ZPixmap);
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

// A "Name:   value kB" field of a /proc file, in KiB; 0 when absent.
long ProcField(const std::string& path, const std::string& field) {
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (line.starts_with(field + ":")) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return 0;
}

// The process and every process below it.
std::vector<pid_t> ProcessTree(pid_t pid) {
    std::multimap<pid_t, pid_t> children;
    DIR* proc = opendir("/proc");
    while (dirent* entry = readdir(proc)) {
        pid_t child = static_cast<pid_t>(std::atol(entry->d_name));
        if (child > 0) {
            children.emplace(ProcField("/proc/" + std::to_string(child) + "/status", "PPid"),
                             child);
        }
    }
    closedir(proc);
    std::vector<pid_t> tree = {pid};
    for (size_t i = 0; i < tree.size(); ++i) {
        auto [first, last] = children.equal_range(tree[i]);
        for (auto it = first; it != last; ++it) {
            tree.push_back(it->second);
        }
    }
    return tree;
}

// Sum over the process tree of a field of each process's file, in KiB.
long TreeSum(pid_t pid, const char* file, const char* field) {
    long total = 0;
    for (pid_t member : ProcessTree(pid)) {
        total += ProcField("/proc/" + std::to_string(member) + "/" + file, field);
    }
    return total;
}

// One start of a program until its window shows the page; the page's time
// and the memory of the program's processes.
void StartToPageShown(benchmark::State& state, std::vector<std::string> argv) {
    for (auto _ : state) {
        auto start = Clock::now();
        pid_t pid = Start(argv);
        if (pid < 0) {
            state.SkipWithError("the program does not start");
            break;
        }
        while (CornerPixel(pid) != kPageColour) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (Clock::now() - start > std::chrono::seconds(30)) {
                state.SkipWithError("the page was not shown");
                break;
            }
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        state.counters["pss_MiB"] = TreeSum(pid, "smaps_rollup", "Pss") / 1024.0;
        // The peaks once the page has settled.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        state.counters["peak_rss_sum_MiB"] = TreeSum(pid, "status", "VmHWM") / 1024.0;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

// The console's report, and the medians kept for the table of ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                Median& median = medians_[run.run_name.function_name];
                median.milliseconds = run.GetAdjustedRealTime();
                median.pss = run.counters.at("pss_MiB");
                median.peak_rss_sum = run.counters.at("peak_rss_sum_MiB");
            }
        }
    }

    void PrintRatios() const {
        auto launcher = medians_.find("launcher");
        auto floor = medians_.find("floor");
        if (launcher == medians_.end() || floor == medians_.end()) {
            return;
        }
        const Median& l = launcher->second;
        const Median& f = floor->second;
        std::printf("\n%-34s %10s %10s %7s\n", "median", "launcher", "floor", "ratio");
        std::printf("%-34s %7.1f ms %7.1f ms %6.3fx\n", "start to page shown", l.milliseconds,
                    f.milliseconds, l.milliseconds / f.milliseconds);
        std::printf("%-34s %6.1f MiB %6.1f MiB %6.3fx\n", "PSS of all processes, page shown", l.pss,
                    f.pss, l.pss / f.pss);
        std::printf("%-34s %6.1f MiB %6.1f MiB %6.3fx\n", "sum of peak RSS of all processes",
                    l.peak_rss_sum, f.peak_rss_sum, l.peak_rss_sum / f.peak_rss_sum);
    }

private:
    struct Median {
        double milliseconds = 0;
        double pss = 0;
        double peak_rss_sum = 0;
    };
    std::map<std::string, Median> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s [benchmark flags] <launcher> <floor> <page.html>\n",
                     argv[0]);
        return 2;
    }
    g_display = XOpenDisplay(nullptr);
    if (!g_display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreXError);
    for (auto [name, program] : {std::pair{"launcher", std::vector<std::string>{argv[1]}},
                                 std::pair{"floor", std::vector<std::string>{argv[2], argv[3]}}}) {
        benchmark::RegisterBenchmark(name, StartToPageShown, program)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    XCloseDisplay(g_display);
    return 0;
}
