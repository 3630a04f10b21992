#include "io/native_file.h"

#include "base/win.h"
#include "io/file.h"
#include "io/file_api_win.h"
#include "io/path.h"

namespace Io {

namespace {

HANDLE AsHandle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

DWORD CreationOf(NativeFile::Disposition disposition) {
    switch (disposition) {
        case NativeFile::Disposition::kOpenExisting:
            return OPEN_EXISTING;
        case NativeFile::Disposition::kTruncateExisting:
            return TRUNCATE_EXISTING;
        case NativeFile::Disposition::kCreateNew:
            return CREATE_NEW;
        case NativeFile::Disposition::kOpenAlways:
            return OPEN_ALWAYS;
        case NativeFile::Disposition::kCreateAlways:
            return CREATE_ALWAYS;
    }
    return OPEN_EXISTING;
}

// Re-creating a hidden or system file must name those attributes again (the
// call refuses otherwise), and so they stay set.
DWORD AttributesFor(const BaseString& path, NativeFile::Disposition disposition) {
    if (disposition != NativeFile::Disposition::kCreateAlways) {
        return FILE_ATTRIBUTE_NORMAL;
    }
    DWORD existing = ::GetFileAttributesW(WidePtr(path.c_str()));
    if (existing == INVALID_FILE_ATTRIBUTES || (existing & FILE_ATTRIBUTE_DIRECTORY)) {
        return FILE_ATTRIBUTE_NORMAL;
    }
    DWORD kept = existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    return kept ? kept : FILE_ATTRIBUTE_NORMAL;
}

OVERLAPPED At(uint64_t offset) {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

}  // namespace

void NativeFile::Close() noexcept {
    if (handle_ != -1) {
        ::CloseHandle(AsHandle(handle_));
        handle_ = -1;
    }
}

bool NativeFile::Open(const BaseString& path, uint32_t access, uint32_t share,
                      Disposition disposition) {
    Close();
    CriticalErrorsOff errors_off;
    BaseString text = WindowsPathText(path);
    DWORD desired =
        ((access & kAccessRead) ? GENERIC_READ : 0) | ((access & kAccessWrite) ? GENERIC_WRITE : 0);
    DWORD share_mode = ((share & kShareRead) ? FILE_SHARE_READ : 0) |
                       ((share & kShareWrite) ? FILE_SHARE_WRITE : 0);
    HANDLE file = ::CreateFileW(WidePtr(text.c_str()), desired, share_mode, nullptr,
                                CreationOf(disposition), AttributesFor(text, disposition), nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(file);
    access_ = access;
    return true;
}

bool NativeFile::ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t& done) {
    CriticalErrorsOff errors_off;
    OVERLAPPED at = At(offset);
    DWORD read = 0;
    bool ok = ::ReadFile(AsHandle(handle_), buffer, count, &read, &at);
    done = read;
    // A positioned read that starts at or past the end reports the end as a failure.
    return ok || ::GetLastError() == ERROR_HANDLE_EOF;
}

bool NativeFile::WriteAt(uint64_t offset, const void* data, uint32_t count, uint32_t& done) {
    CriticalErrorsOff errors_off;
    OVERLAPPED at = At(offset);
    DWORD written = 0;
    bool ok = ::WriteFile(AsHandle(handle_), data, count, &written, &at);
    done = written;
    return ok;
}

bool NativeFile::GetSize(uint64_t& size) {
    CriticalErrorsOff errors_off;
    LARGE_INTEGER value;
    if (!::GetFileSizeEx(AsHandle(handle_), &value)) {
        return false;
    }
    size = static_cast<uint64_t>(value.QuadPart);
    return true;
}

bool NativeFile::SetSize(uint64_t size) {
    CriticalErrorsOff errors_off;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(size);
    return ::SetFilePointerEx(AsHandle(handle_), position, nullptr, FILE_BEGIN) &&
           ::SetEndOfFile(AsHandle(handle_));
}

bool NativeFile::Flush() {
    CriticalErrorsOff errors_off;
    return ::FlushFileBuffers(AsHandle(handle_));
}

}  // namespace Io
