#pragma once

#include <cstdint>

namespace Base {

// 100-nanosecond intervals from 1601-01-01, the epoch of file times, to
// 1970-01-01, that of Unix times.
inline constexpr int64_t kUnixEpochAsFileTime = 116444736000000000;

// A Unix time as a file time (100 ns since 1601); 0 for a time before 1601.
constexpr uint64_t FileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
    int64_t since_1601 = kUnixEpochAsFileTime + seconds * 10000000 + nanoseconds / 100;
    return since_1601 > 0 ? static_cast<uint64_t>(since_1601) : 0;
}

}  // namespace Base
