// The medium's Linux plug-ins beside its Linux launcher: a plug-in built for a
// newer C library than the launcher needs does not load on the older systems
// the launcher starts on, and the menu there goes on without its extensions.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "check/checks.h"
#include "object/elf_version_needs.h"

namespace {

// The newest C library version the file needs; none when it is no ELF file
// the reader takes, empty when it names none.
std::optional<std::string> CLibraryNeeded(const std::filesystem::path& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    off_t size = lseek(fd, 0, SEEK_END);
    std::optional<std::vector<Object::VersionNeed>> needs =
        size > 0 ? Object::ReadElfVersionNeeds(Object::FileReadAt(fd), static_cast<uint64_t>(size))
                 : std::nullopt;
    close(fd);
    if (!needs) {
        return std::nullopt;
    }
    return Object::NewestCLibraryVersion(*needs);
}

}  // namespace

void CheckLinuxFiles(const BaseString& launcher, Findings& findings) {
    std::optional<std::string> floor = CLibraryNeeded(launcher.ToUtf8());
    std::error_code error;
    std::filesystem::directory_iterator plugins("rsc/plugins", error);
    if (!floor || floor->empty() || error) {
        return;
    }
    for (const std::filesystem::directory_entry& entry : plugins) {
        if (entry.path().extension() != ".so" || !entry.is_regular_file(error)) {
            continue;
        }
        std::optional<std::string> needed = CLibraryNeeded(entry.path());
        if (needed && !needed->empty() && Object::CompareDottedVersions(*needed, *floor) > 0) {
            findings.Warning(BaseString::FromUtf8(entry.path().generic_string()), {1, 1},
                             BaseString::FromUtf8("needs the C library (glibc) " + *needed +
                                                  ", newer than the launcher beside it needs (" +
                                                  *floor + "): systems older than " + *needed +
                                                  " show the menu without it"));
        }
    }
}
