#pragma once

#include <cstdint>

namespace Io {

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01, the epochs of
// file times and of Unix time.
inline constexpr int64_t kUnixEpochAsFileTime = 116444736000000000;

}  // namespace Io
