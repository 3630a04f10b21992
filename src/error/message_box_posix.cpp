#include <cstdio>
#include <string>

#include "error/show_error.h"

int PlatformMessageBox(WindowHandle, const BaseString& text, const BaseString& caption, uint32_t) {
    constexpr int kIdOk = 1;
    std::string line = caption.ToUtf8() + ": " + text.ToUtf8() + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return kIdOk;
}
