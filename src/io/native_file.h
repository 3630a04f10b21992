#pragma once

#include <cstdint>
#include <utility>

#include "base/string.h"
#include "io/path.h"

namespace Io {

// The bits of access and share that the platform calls take: the values of
// Io::Access and Io::Share.
inline constexpr uint32_t kAccessRead = static_cast<uint32_t>(Access::kRead);
inline constexpr uint32_t kAccessWrite = static_cast<uint32_t>(Access::kWrite);
inline constexpr uint32_t kShareRead = static_cast<uint32_t>(Share::kRead);
inline constexpr uint32_t kShareWrite = static_cast<uint32_t>(Share::kWrite);

// A file opened through the operating system, closed when this goes. A failing
// call returns false and leaves its Win32 error code as the thread's last error.
// On Windows every call runs with the critical-error dialogs switched off.
class NativeFile {
public:
    enum class Disposition {
        kOpenExisting,
        kTruncateExisting,
        kCreateNew,
        kOpenAlways,
        kCreateAlways,
    };

    NativeFile() noexcept = default;
    NativeFile(NativeFile&& other) noexcept
        : handle_(std::exchange(other.handle_, -1)), access_(other.access_) {}
    ~NativeFile() { Close(); }

    // `access` and `share` are the bits above. A folder at the path fails with error 5. A file
    // re-created by kCreateAlways keeps its hidden and system attributes.
    bool Open(const BaseString& path, uint32_t access, uint32_t share, Disposition disposition);

    // One transfer at the offset; `done` is what moved (0 at the end of the file).
    bool ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t& done);
    bool WriteAt(uint64_t offset, const void* data, uint32_t count, uint32_t& done);
    bool GetSize(uint64_t& size);
    bool SetSize(uint64_t size);
    bool Flush();

private:
    void Close() noexcept;

    // A HANDLE or a file descriptor; -1 (INVALID_HANDLE_VALUE) when closed.
    intptr_t handle_ = -1;
    uint32_t access_ = 0;
};

}  // namespace Io
