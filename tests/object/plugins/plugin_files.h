#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "base/platform.h"

// The file name of a test plug-in on this platform.
inline std::u16string Plugin(std::u16string_view name) {
    constexpr std::string_view kSuffix = ORV_PLUGIN_SUFFIX;
    std::u16string file(name);
    file.append(kSuffix.begin(), kSuffix.end());
    return file;
}

// Where the test build lays the plug-ins out: plugins/ beside this program.
inline std::filesystem::path Built(std::u16string_view name) {
    std::filesystem::path program(std::u16string(Base::ExecutablePath().view()));
    return program.parent_path() / "plugins" / Plugin(name);
}
