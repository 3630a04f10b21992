#pragma once

#include <cstdint>
#include <vector>

// The version of the running operating system, as numbers from the most
// significant: Windows' major, minor and build number (RtlGetVersion, which
// tells the truth whatever the program's manifest names), Linux's kernel
// release ("6.1.0-13-amd64" gives 6, 1, 0). Empty when it cannot be had.
namespace Base {

std::vector<uint32_t> SystemVersion();

}  // namespace Base
