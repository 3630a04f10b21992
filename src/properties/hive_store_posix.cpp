#include "properties/hive_store.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

#include "base/errno_win32.h"

namespace Registry {

namespace {

constexpr char kDirectoryVariable[] = "ORVELLA_REGISTRY_DIR";

uint32_t LastErrno() {
    return Base::Win32ErrorFromErrno(errno);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// What tells one version of a hive file from another: a change is a new file
// renamed into place.
struct FileVersion {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    explicit FileVersion(const struct stat& info = {})
        : device(info.st_dev),
          inode(info.st_ino),
          size(info.st_size),
          modified(info.st_mtim),
          changed(info.st_ctim) {}

    bool operator==(const FileVersion& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

// The last parsed version of each hive file.
struct CachedHive {
    FileVersion version;
    std::shared_ptr<const HiveKey> root;
};

std::mutex g_cache_mutex;
std::map<std::string, CachedHive>& Cache() {
    static auto* cache = new std::map<std::string, CachedHive>;
    return *cache;
}

const std::shared_ptr<const HiveKey>& EmptyHive() {
    static const auto* empty = new std::shared_ptr<const HiveKey>(std::make_shared<HiveKey>());
    return *empty;
}

uint32_t ReadAll(int fd, std::string* bytes) {
    char buffer[16384];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastErrno();
        }
        if (got == 0) {
            return 0;
        }
        bytes->append(buffer, static_cast<size_t>(got));
    }
}

uint32_t WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t put = write(fd, bytes.data(), bytes.size());
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastErrno();
        }
        bytes.remove_prefix(static_cast<size_t>(put));
    }
    return 0;
}

// Reads and parses the file into `root` (left empty when there is no file).
uint32_t ReadHiveFile(const std::string& path, Hive hive, HiveKey* root) {
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) {
        return errno == ENOENT ? 0 : LastErrno();
    }
    std::string bytes;
    if (uint32_t result = ReadAll(file.get(), &bytes)) {
        return result;
    }
    return ParseHive(bytes, hive, root) ? 0 : kErrorBadDatabase;
}

std::string Directory(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

// mkdir -p
uint32_t MakeDirectories(const std::string& directory, mode_t mode) {
    for (size_t slash = directory.find('/', 1);; slash = directory.find('/', slash + 1)) {
        if (mkdir(directory.substr(0, slash).c_str(), mode) != 0 && errno != EEXIST) {
            return LastErrno();
        }
        if (slash == std::string::npos) {
            return 0;
        }
    }
}

// Writes the hive beside its file, flushes it and renames it into place.
uint32_t ReplaceHiveFile(const std::string& path, const std::string& bytes, mode_t mode) {
    std::string temporary = path + ".tmp";
    {
        FileDescriptor file(
            open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
        if (!file.valid()) {
            return LastErrno();
        }
        uint32_t result = WriteAll(file.get(), bytes);
        if (result == 0 && (fchmod(file.get(), mode) != 0 || fsync(file.get()) != 0)) {
            result = LastErrno();
        }
        if (result != 0) {
            unlink(temporary.c_str());
            return result;
        }
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        uint32_t result = LastErrno();
        unlink(temporary.c_str());
        return result;
    }
    FileDescriptor directory(open(Directory(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.valid()) {
        fsync(directory.get());
    }
    return 0;
}

}  // namespace

std::string HiveFilePath(Hive hive) {
    const char* file = hive == Hive::kMachine ? "machine.reg" : "user.reg";
    const char* directory = std::getenv(kDirectoryVariable);
    if (directory && *directory) {
        return std::string(directory) + "/" + file;
    }
    if (hive == Hive::kMachine) {
        return "/etc/orvella/machine.reg";
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/') {
        return std::string(config) + "/orvella/user.reg";
    }
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/orvella/user.reg";
}

uint32_t LoadHive(Hive hive, std::shared_ptr<const HiveKey>* root) {
    std::string path = HiveFilePath(hive);
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            return LastErrno();
        }
        *root = EmptyHive();
        return 0;
    }
    FileVersion version(info);
    {
        std::lock_guard lock(g_cache_mutex);
        auto cached = Cache().find(path);
        if (cached != Cache().end() && cached->second.version == version) {
            *root = cached->second.root;
            return 0;
        }
    }
    auto fresh = std::make_shared<HiveKey>();
    if (uint32_t result = ReadHiveFile(path, hive, fresh.get())) {
        return result;
    }
    // The file read may be newer than `version`; it is then parsed again next time.
    std::lock_guard lock(g_cache_mutex);
    Cache()[path] = {version, fresh};
    *root = std::move(fresh);
    return 0;
}

uint32_t UpdateHive(Hive hive, const HiveChange& change) {
    std::string path = HiveFilePath(hive);
    mode_t mode = hive == Hive::kMachine ? 0644 : 0600;
    if (uint32_t result = MakeDirectories(Directory(path), hive == Hive::kMachine ? 0755 : 0700)) {
        return result;
    }
    FileDescriptor lock(open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, mode));
    if (!lock.valid()) {
        return LastErrno();
    }
    while (flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return LastErrno();
        }
    }
    auto root = std::make_shared<HiveKey>();
    if (uint32_t result = ReadHiveFile(path, hive, root.get())) {
        return result;
    }
    bool changed = false;
    uint32_t answer = change(*root, changed);
    if (!changed) {
        return answer;
    }
    struct stat info;
    if (stat(path.c_str(), &info) == 0) {
        mode = info.st_mode & 07777;
    }
    if (uint32_t result = ReplaceHiveFile(path, WriteHive(*root, hive), mode)) {
        return result;
    }
    if (stat(path.c_str(), &info) == 0) {
        std::lock_guard cache_lock(g_cache_mutex);
        Cache()[path] = {FileVersion(info), std::move(root)};
    }
    return answer;
}

}  // namespace Registry
