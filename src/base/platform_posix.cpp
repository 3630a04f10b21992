#include "base/platform.h"

#include <errno.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "base/errno_win32.h"

namespace Base {

namespace {
thread_local uint32_t t_last_error = 0;

struct ErrnoMapping {
    int error;
    uint32_t code;
};

// Ordered so that the first row of a code is the errno it is turned back into.
constexpr ErrnoMapping kErrnoMappings[] = {
    {ENOENT, 2},         {ENOTDIR, 3},     {EMFILE, 4},   {EACCES, 5},    {EPERM, 5},
    {EISDIR, 5},         {EBADF, 6},       {ENOMEM, 8},   {EINVAL, 87},   {EROFS, 19},
    {EXDEV, 17},         {EBUSY, 32},      {EAGAIN, 33},  {EEXIST, 80},   {ENOSPC, 112},
    {ENAMETOOLONG, 206}, {ENOTEMPTY, 145}, {ELOOP, 1921}, {EIO, 1117},    {EFBIG, 223},
    {ENXIO, 21},         {ENOEXEC, 193},   {ETXTBSY, 32}, {EINTR, 1223},  {ESPIPE, 131},
    {E2BIG, 206},        {ENOSYS, 50},     {ENOTSUP, 50}, {EDQUOT, 1295},
};
}  // namespace

uint32_t Win32ErrorFromErrno(int error) {
    for (const ErrnoMapping& mapping : kErrnoMappings) {
        if (mapping.error == error) {
            return mapping.code;
        }
    }
    return error == 0 ? 0 : 31;  // ERROR_GEN_FAILURE
}

int ErrnoFromWin32Error(uint32_t code) {
    for (const ErrnoMapping& mapping : kErrnoMappings) {
        if (mapping.code == code) {
            return mapping.error;
        }
    }
    return 0;
}

void SetLastErrorFromErrno() {
    t_last_error = Win32ErrorFromErrno(errno);
}

uint32_t TickCount() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
    return static_cast<uint32_t>(ms);
}

void YieldThread() {
    sched_yield();
}

uint32_t LastError() {
    return t_last_error;
}

void SetLastError(uint32_t code) {
    t_last_error = code;
}

LastErrorKeeper::LastErrorKeeper() : last_error_(t_last_error), errno_(errno) {}

LastErrorKeeper::~LastErrorKeeper() {
    t_last_error = last_error_;
    errno = errno_;
}

BaseString ExecutablePath() {
    std::string path(4096, '\0');
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0) {
        return {};
    }
    path.resize(static_cast<size_t>(length));
    return BaseString::FromUtf8(path);
}

bool ChangeDirectory(const BaseString& path) {
    if (chdir(path.ToUtf8().c_str()) != 0) {
        SetLastErrorFromErrno();
        return false;
    }
    return true;
}

bool IsFullPath(std::u16string_view path) {
    return path.starts_with(u'/');
}

void SetStandardStreamsBinary() {}

bool IsSystem64Bit() {
    return sizeof(void*) == 8;
}

}  // namespace Base
