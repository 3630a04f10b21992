#include "io/native_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/errno_win32.h"
#include "base/platform.h"
#include "io/file.h"

namespace Io {

namespace {

constexpr uint32_t kErrorAccessDenied = 5;

bool FailFromErrno() {
    Base::SetLastErrorFromErrno();
    return false;
}

bool Fail(uint32_t code) {
    Base::SetLastError(code);
    return false;
}

int AccessFlags(uint32_t access) {
    switch (access & (kAccessRead | kAccessWrite)) {
        case kAccessWrite:
            return O_WRONLY;
        case kAccessRead | kAccessWrite:
            return O_RDWR;
        default:
            return O_RDONLY;
    }
}

int DispositionFlags(NativeFile::Disposition disposition) {
    switch (disposition) {
        case NativeFile::Disposition::kOpenExisting:
            return 0;
        case NativeFile::Disposition::kTruncateExisting:
            return O_TRUNC;
        case NativeFile::Disposition::kCreateNew:
            return O_CREAT | O_EXCL;
        case NativeFile::Disposition::kOpenAlways:
            return O_CREAT;
        case NativeFile::Disposition::kCreateAlways:
            return O_CREAT | O_TRUNC;
    }
    return 0;
}

}  // namespace

void NativeFile::Close() noexcept {
    if (handle_ != -1) {
        close(static_cast<int>(handle_));
        handle_ = -1;
    }
}

// Share modes are not enforced here. The descriptor is non-blocking so that a
// FIFO at the path cannot hang the open; regular files ignore the flag.
bool NativeFile::Open(const BaseString& path, uint32_t access, [[maybe_unused]] uint32_t share,
                      Disposition disposition) {
    Close();
    int flags =
        AccessFlags(access) | DispositionFlags(disposition) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd;
    do {
        fd = open(path.ToUtf8().c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return FailFromErrno();
    }
    struct stat entry;
    uint32_t error = 0;
    if (fstat(fd, &entry) != 0) {
        error = Base::Win32ErrorFromErrno(errno);
    } else if (S_ISDIR(entry.st_mode)) {
        error = kErrorAccessDenied;
    }
    if (error != 0) {
        close(fd);
        return Fail(error);
    }
    handle_ = fd;
    access_ = access;
    return true;
}

bool NativeFile::ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t& done) {
    done = 0;
    if (!(access_ & kAccessRead)) {
        return Fail(kErrorAccessDenied);
    }
    ssize_t result;
    do {
        result = pread(static_cast<int>(handle_), buffer, count, static_cast<off_t>(offset));
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
        return FailFromErrno();
    }
    done = static_cast<uint32_t>(result);
    return true;
}

bool NativeFile::WriteAt(uint64_t offset, const void* data, uint32_t count, uint32_t& done) {
    done = 0;
    if (!(access_ & kAccessWrite)) {
        return Fail(kErrorAccessDenied);
    }
    ssize_t result;
    do {
        result = pwrite(static_cast<int>(handle_), data, count, static_cast<off_t>(offset));
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
        return FailFromErrno();
    }
    done = static_cast<uint32_t>(result);
    return true;
}

bool NativeFile::GetSize(uint64_t& size) {
    struct stat entry;
    if (fstat(static_cast<int>(handle_), &entry) != 0) {
        return FailFromErrno();
    }
    size = static_cast<uint64_t>(entry.st_size);
    return true;
}

bool NativeFile::SetSize(uint64_t size) {
    if (!(access_ & kAccessWrite)) {
        return Fail(kErrorAccessDenied);
    }
    int result;
    do {
        result = ftruncate(static_cast<int>(handle_), static_cast<off_t>(size));
    } while (result != 0 && errno == EINTR);
    return result == 0 || FailFromErrno();
}

bool NativeFile::Flush() {
    if (!(access_ & kAccessWrite)) {
        return Fail(kErrorAccessDenied);
    }
    return fsync(static_cast<int>(handle_)) == 0 || FailFromErrno();
}

}  // namespace Io
