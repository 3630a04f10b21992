#include <dlfcn.h>
#include <fcntl.h>
#include <gnu/libc-version.h>
#include <link.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/ascii_case.h"
#include "base/file_time.h"
#include "base/platform.h"
#include "object/dll.h"
#include "object/elf_section.h"
#include "object/elf_version_needs.h"
#include "object/version_section.h"

namespace Object {

namespace {

class OpenFile {
public:
    explicit OpenFile(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int fd() const { return fd_; }

private:
    int fd_;
};

// The file's version section makes it a plug-in library named as it is.
bool HasPluginVersion(int fd, uint64_t size, const BaseString& path) {
    std::optional<std::string> section =
        ReadElfSection(FileReadAt(fd), size, kVersionSectionName, kMaxVersionSectionSize);
    if (!section) {
        return false;
    }
    std::optional<SectionVersionStrings> strings = SectionVersionStrings::Parse(*section);
    if (!strings) {
        return false;
    }
    return IsPluginLibrary(*strings, Base::LastComponentOf(path), Base::EqualsIgnoringAsciiCase);
}

// Whether the file mapped at `address` is the one with that device and inode;
// true when this process's mappings cannot be looked at.
bool MapsFile(const void* address, const struct stat& file) {
    FILE* maps = std::fopen("/proc/self/maps", "re");
    if (!maps) {
        return true;
    }
    auto at = reinterpret_cast<uintptr_t>(address);
    bool same = false;
    char line[512];
    while (std::fgets(line, sizeof line, maps)) {
        unsigned long start, end, inode;
        unsigned major_number, minor_number;
        if (std::sscanf(line, "%lx-%lx %*s %*s %x:%x %lu", &start, &end, &major_number,
                        &minor_number, &inode) == 5 &&
            start <= at && at < end) {
            same = major_number == major(file.st_dev) && minor_number == minor(file.st_dev) &&
                   inode == file.st_ino;
            break;
        }
        // A line longer than the buffer: skip its rest.
        while (!std::strchr(line, '\n') && std::fgets(line, sizeof line, maps)) {
        }
    }
    std::fclose(maps);
    return same;
}

// A file built for a newer C library than this system's is no broken file:
// the author or the user learns which file needs what, on standard error
// (the loader's own words name the symbol version, not the remedy).
void ReportNewerCLibrary(int fd, uint64_t size, const std::string& path) {
    std::optional<std::vector<VersionNeed>> needs = ReadElfVersionNeeds(FileReadAt(fd), size);
    if (!needs) {
        return;
    }
    const std::string needed = NewestCLibraryVersion(*needs);
    const char* present = gnu_get_libc_version();
    if (!needed.empty() && CompareDottedVersions(needed, present) > 0) {
        std::fprintf(stderr,
                     "%s: not loaded: it needs the C library (glibc) %s or newer, this system "
                     "has %s\n",
                     path.c_str(), needed.c_str(), present);
    }
}

}  // namespace

DllLoad LoadDll(const BaseString& path) {
    std::string native = path.ToUtf8();
    OpenFile file(native);
    struct stat checked;
    if (file.fd() < 0 || fstat(file.fd(), &checked) != 0 || !S_ISREG(checked.st_mode) ||
        !HasPluginVersion(file.fd(), static_cast<uint64_t>(checked.st_size), path)) {
        return {nullptr, true};
    }
    void* handle = dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        ReportNewerCLibrary(file.fd(), static_cast<uint64_t>(checked.st_size), native);
        return {nullptr, false};
    }
    auto dll = std::make_unique<Dll>(handle);
    // dlopen answers an object already loaded under that name even when the file
    // at the path has changed since: the code must come from the file checked.
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !MapsFile(map->l_ld, checked)) {
        return {nullptr, false};
    }
    if (!dll->HasEntryPoints()) {
        return {nullptr, true};
    }
    return {std::move(dll), true};
}

Dll::~Dll() {
    if (!keep_loaded_) {
        dlclose(handle_);
    }
}

void (*Dll::Entry(const char* name) const)() {
    return reinterpret_cast<void (*)()>(dlsym(handle_, name));
}

std::optional<uint64_t> LastWriteTime(const BaseString& path) {
    struct stat entry;
    if (stat(path.ToUtf8().c_str(), &entry) != 0) {
        return std::nullopt;
    }
    return Base::FileTimeFromUnix(entry.st_mtim.tv_sec, entry.st_mtim.tv_nsec);
}

}  // namespace Object
