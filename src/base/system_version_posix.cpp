#include "base/system_version.h"

#include <sys/utsname.h>

namespace Base {

std::vector<uint32_t> SystemVersion() {
    std::vector<uint32_t> version;
    utsname names;
    if (uname(&names) != 0) {
        return version;
    }
    // The leading numbers of the release, separated by dots.
    const char* c = names.release;
    while (*c >= '0' && *c <= '9') {
        uint32_t number = 0;
        for (; *c >= '0' && *c <= '9'; ++c) {
            number = number * 10 + static_cast<uint32_t>(*c - '0');
        }
        version.push_back(number);
        if (*c != '.') {
            break;
        }
        ++c;
    }
    return version;
}

}  // namespace Base
