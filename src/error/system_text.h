#pragma once

#include <cstdint>

#include "base/string.h"

// The system's own text for a Win32 error code (FormatMessageW from the system
// table on Windows, strerror of the matching errno on POSIX); empty when the
// platform has none.
BaseString SystemErrorText(uint32_t code);
