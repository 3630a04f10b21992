#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

#include "run_tool.h"

extern char** environ;

std::optional<int> RunProgram(const std::filesystem::path& program,
                              const std::vector<std::string>& arguments,
                              const std::filesystem::path& out, const std::filesystem::path& err,
                              int& error) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    constexpr int kFlags = O_WRONLY | O_CREAT | O_TRUNC;
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), kFlags, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), kFlags, 0644);
    pid_t pid = 0;
    error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        return std::nullopt;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            error = errno;
            return std::nullopt;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
