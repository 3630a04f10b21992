#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/platform.h"
#include "preview.h"

extern char** environ;

namespace {

pid_t Spawn(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) == 0 ? pid : -1;
}

int Wait(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An X server of the preview's own, for a machine without a display: it tells
// its display number when it is ready and ends with the preview.
class OwnDisplay {
public:
    OwnDisplay() {
        int pipe_fds[2];
        if (pipe(pipe_fds) != 0) {
            return;
        }
        server_ = Spawn({"Xvfb", "-displayfd", std::to_string(pipe_fds[1]), "-screen", "0",
                         "1280x1024x24", "-nolisten", "tcp", "-noreset"});
        close(pipe_fds[1]);
        std::string number;
        char c;
        while (server_ > 0 && read(pipe_fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(pipe_fds[0]);
        if (!number.empty()) {
            name_ = ":" + number;
        }
    }
    ~OwnDisplay() {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            Wait(server_);
        }
    }
    OwnDisplay(const OwnDisplay&) = delete;
    OwnDisplay& operator=(const OwnDisplay&) = delete;

    // ":N", empty when the server did not start.
    const std::string& name() const { return name_; }

private:
    pid_t server_ = -1;
    std::string name_;
};

}  // namespace

bool TakePreviewPictures(const std::vector<PreviewPicture>& pictures, const std::string& folder,
                         const AssumedVisibility& assumed) {
    CreateFolders(folder);
    std::string program =
        BaseString(Base::FolderOf(Base::ExecutablePath())).ToUtf8() + "autorun-preview";
    if (access(program.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "%s is missing: the preview needs it beside autorun-page.\n",
                     program.c_str());
        return false;
    }
    std::vector<std::string> argv = {program};
    for (const auto& [clsid, shown] : assumed) {
        argv.push_back("--assume");
        argv.push_back(clsid.ToUtf8() + (shown ? "=shown" : "=hidden"));
    }
    for (const PreviewPicture& picture : pictures) {
        char language[8];
        std::snprintf(language, sizeof language, "%04x", picture.language);
        argv.push_back(std::string(language) + "=" + folder + "/" + picture.file);
    }
    const char* display = std::getenv("DISPLAY");
    std::unique_ptr<OwnDisplay> own_display;
    if (!display || !*display) {
        own_display = std::make_unique<OwnDisplay>();
        if (own_display->name().empty()) {
            std::fputs(
                "There is no display, and no X server could be started for the preview: "
                "install the package xvfb.\n",
                stderr);
            return false;
        }
        setenv("DISPLAY", own_display->name().c_str(), 1);
    }
    pid_t preview = Spawn(argv);
    return preview > 0 && Wait(preview) == 0;
}
