#pragma once

// Helpers of the Windows file calls.

#include "base/long_path_win.h"
#include "base/string.h"
#include "base/win.h"
#include "io/path_grammar.h"

namespace Io {

// Switches the critical-error dialogs off for the calling thread while it lives
// and restores the previous mode afterwards, keeping the last error of the call
// in between. The thread's own mode, so concurrent calls cannot mix up each
// other's previous modes.
class CriticalErrorsOff {
public:
    CriticalErrorsOff() { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    ~CriticalErrorsOff() {
        DWORD last_error = ::GetLastError();
        ::SetThreadErrorMode(previous_, nullptr);
        ::SetLastError(last_error);
    }
    CriticalErrorsOff(const CriticalErrorsOff&) = delete;
    CriticalErrorsOff& operator=(const CriticalErrorsOff&) = delete;

private:
    DWORD previous_ = 0;
};

// The text the Windows calls need: a root alone ("C:", "\\server\share") gets
// its backslash, as "C:" would mean the current folder of the drive, and a
// long path its extended form (long_path_win.h).
inline BaseString WindowsPathText(const BaseString& path) {
    if (RootLength(path, PathStyle::kWindows) < path.length()) {
        return LongPathText(path);
    }
    return path + u"\\";
}

}  // namespace Io
