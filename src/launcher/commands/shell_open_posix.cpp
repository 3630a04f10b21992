#include "launcher/commands/shell_open.h"

#include <glib.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

extern char** environ;

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

// Starts the program in a session of its own, so it outlives the launcher and
// its terminal; the main loop reaps it when it ends.
void SpawnDetached(const char* program, char* const argv[], bool search_path) {
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    int result = search_path ? posix_spawnp(&pid, program, nullptr, &attributes, argv, environ)
                             : posix_spawn(&pid, program, nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (result == 0) {
        g_child_watch_add(
            pid, [](GPid child, gint, gpointer) { g_spawn_close_pid(child); }, nullptr);
    }
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
