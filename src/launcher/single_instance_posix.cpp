#include "launcher/single_instance.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "base/string.h"

namespace {

std::string LockFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        return runtime;
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        std::string cache = std::string(home) + "/.cache";
        mkdir(cache.c_str(), 0700);
        return cache;
    }
    return {};
}

std::string LockPath(std::u16string_view name) {
    std::string file = BaseString(name).ToUtf8();
    std::string folder = LockFolder();
    if (folder.empty()) {
        return "/tmp/" + file + "-" + std::to_string(getuid());
    }
    return folder + "/" + file;
}

}  // namespace

SingleInstanceLock::SingleInstanceLock(std::u16string_view name) {
    // Close-on-exec: a program started by the launcher must not inherit the
    // lock and keep it after the launcher has ended.
    int fd = open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return;
    }
    handle_ = fd;
    int result;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    another_instance_ = result != 0 && errno == EWOULDBLOCK;
}

SingleInstanceLock::~SingleInstanceLock() {
    if (handle_ != -1) {
        close(static_cast<int>(handle_));
    }
}
