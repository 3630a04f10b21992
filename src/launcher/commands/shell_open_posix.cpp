#include "launcher/commands/shell_open.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "launcher/commands/detached_spawn_posix.h"

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// A file that only runs as a program: an ELF binary or a script with "#!".
bool LooksLikeProgram(const std::string& path) {
    char head[4] = {};
    std::ifstream(path, std::ios::binary).read(head, sizeof head);
    return std::memcmp(head,
                       "\x7F"
                       "ELF",
                       4) == 0 ||
           std::memcmp(head, "#!", 2) == 0;
}

}  // namespace

void ShellOpen(const BaseString& path, WindowHandle) {
    std::string file = path.ToUtf8();
    if (IsExecutableFile(file)) {
        char* argv[] = {file.data(), nullptr};
        SpawnDetached(file.c_str(), argv, false);
        return;
    }
    std::string opener = "xdg-open";
    char* argv[] = {opener.data(), file.data(), nullptr};
    SpawnDetached(opener.c_str(), argv, true);
}

ShellOpenOutcome PredictShellOpen(const BaseString& path) {
    std::string file = path.ToUtf8();
    struct stat info;
    if (stat(file.c_str(), &info) != 0) {
        return ShellOpenOutcome::kMissing;
    }
    if (IsExecutableFile(file)) {
        return ShellOpenOutcome::kStarts;
    }
    // What xdg-open is handed must be readable, a folder also searchable.
    if (S_ISDIR(info.st_mode)) {
        return access(file.c_str(), R_OK | X_OK) == 0 ? ShellOpenOutcome::kOpens
                                                      : ShellOpenOutcome::kCannotOpen;
    }
    if (!S_ISREG(info.st_mode) || access(file.c_str(), R_OK) != 0) {
        return ShellOpenOutcome::kCannotOpen;
    }
    return LooksLikeProgram(file) ? ShellOpenOutcome::kProgramNotStartable
                                  : ShellOpenOutcome::kOpens;
}
