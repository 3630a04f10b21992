#include "io/file_system.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "base/errno_win32.h"
#include "base/file_time.h"
#include "base/platform.h"

namespace Io::FileSystem {

namespace {

constexpr uint32_t kErrorAlreadyExists = 183;

bool FailFromErrno() {
    Base::SetLastErrorFromErrno();
    return false;
}

uint64_t FileTimeFrom(const struct statx_timestamp& time) {
    return Base::FileTimeFromUnix(time.tv_sec, time.tv_nsec);
}

timespec TimespecFrom(uint64_t file_time) {
    int64_t since_1970 = static_cast<int64_t>(file_time) - Base::kUnixEpochAsFileTime;
    int64_t seconds = since_1970 / 10000000;
    int64_t rest = since_1970 % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    return {static_cast<time_t>(seconds), static_cast<long>(rest * 100)};
}

char16_t FoldAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Wildcard matching as the Windows file functions do it for ordinary names:
// "*" any run, "?" one character, letters in either case, and a pattern ending
// in ".*" also matches a name without a dot ("*.*" matches everything).
bool MatchesPattern(std::u16string_view name, std::u16string_view pattern) {
    if (pattern.ends_with(u".*") && name.find(u'.') == std::u16string_view::npos) {
        pattern.remove_suffix(2);
    }
    size_t n = 0;
    size_t p = 0;
    size_t star = std::u16string_view::npos;
    size_t star_name = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            star_name = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            n = ++star_name;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

PathStyle NativeStyle() {
    return PathStyle::kPosix;
}

BaseString CurrentDirectory() {
    std::string buffer(256, '\0');
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) {
            Base::SetLastErrorFromErrno();
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    return BaseString::FromUtf8(buffer.c_str());
}

EntryKind GetEntryKind(const BaseString& path) {
    std::string native = path.ToUtf8();
    struct stat entry;
    if (lstat(native.c_str(), &entry) != 0) {
        Base::SetLastErrorFromErrno();
        return EntryKind::kNone;
    }
    if (S_ISLNK(entry.st_mode)) {
        // Like a Windows link: a folder when it leads to one, else a file.
        struct stat target;
        bool folder = stat(native.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
        return folder ? EntryKind::kFolderLink : EntryKind::kFile;
    }
    return S_ISDIR(entry.st_mode) ? EntryKind::kFolder : EntryKind::kFile;
}

uint64_t GetTime(const BaseString& path, TimeKind which) {
    struct statx entry;
    if (statx(AT_FDCWD, path.ToUtf8().c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &entry) != 0) {
        Base::SetLastErrorFromErrno();
        return 0;
    }
    switch (which) {
        case TimeKind::kLastWrite:
            return FileTimeFrom(entry.stx_mtime);
        case TimeKind::kCreation:
            // File systems without birth times give the last write instead, the
            // latest moment the file can have been created.
            return FileTimeFrom((entry.stx_mask & STATX_BTIME) ? entry.stx_btime : entry.stx_mtime);
        case TimeKind::kLastAccess:
            return FileTimeFrom(entry.stx_atime);
    }
    return 0;
}

void SetTime(const BaseString& path, TimeKind which, uint64_t file_time) {
    std::string native = path.ToUtf8();
    struct stat entry;
    if (which == TimeKind::kCreation || stat(native.c_str(), &entry) != 0 ||
        !S_ISREG(entry.st_mode)) {
        return;
    }
    timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
    times[which == TimeKind::kLastAccess ? 0 : 1] = TimespecFrom(file_time);
    utimensat(AT_FDCWD, native.c_str(), times, 0);
}

bool GetAvailableSpace(const BaseString& path, uint64_t* bytes) {
    struct statvfs volume;
    if (statvfs(path.ToUtf8().c_str(), &volume) != 0) {
        return FailFromErrno();
    }
    *bytes = static_cast<uint64_t>(volume.f_bavail) * volume.f_frsize;
    return true;
}

BaseString FindProgram(const BaseString& name) {
    const char* search_path = std::getenv("PATH");
    std::string_view folders = search_path ? search_path : "";
    std::string file_name = name.ToUtf8();
    while (!folders.empty()) {
        size_t end = folders.find(':');
        std::string_view folder = folders.substr(0, end);
        folders = end == folders.npos ? std::string_view() : folders.substr(end + 1);
        // An empty entry would stand for the current folder: the medium's own
        // programs are not the system's.
        if (folder.empty()) {
            continue;
        }
        std::string candidate = std::string(folder) + "/" + file_name;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return BaseString::FromUtf8(candidate);
        }
    }
    return {};
}

bool CreateFolder(const BaseString& path) {
    if (mkdir(path.ToUtf8().c_str(), 0777) == 0) {
        return true;
    }
    Base::SetLastError(errno == EEXIST ? kErrorAlreadyExists : Base::Win32ErrorFromErrno(errno));
    return false;
}

bool RemoveFolder(const BaseString& path) {
    std::string native = path.ToUtf8();
    struct stat entry;
    bool link = lstat(native.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode);
    if ((link ? unlink(native.c_str()) : rmdir(native.c_str())) != 0) {
        return FailFromErrno();
    }
    return true;
}

bool RemoveFile(const BaseString& path) {
    if (unlink(path.ToUtf8().c_str()) != 0) {
        return FailFromErrno();
    }
    return true;
}

std::vector<BaseString> ListFolder(const BaseString& path, const BaseString& pattern) {
    std::vector<BaseString> names;
    std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(path.ToUtf8().c_str()), closedir);
    if (!folder) {
        Base::SetLastErrorFromErrno();
        return names;
    }
    while (const dirent* entry = readdir(folder.get())) {
        std::string_view native = entry->d_name;
        if (native == "." || native == "..") {
            continue;
        }
        BaseString name = BaseString::FromUtf8(native);
        if (MatchesPattern(name, pattern)) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

}  // namespace Io::FileSystem
