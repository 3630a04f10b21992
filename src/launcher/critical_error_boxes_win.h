#pragma once

#include "base/win.h"

// From now on, a drive without its disc, an ejected medium or an unreachable
// network drive is an error for whoever asks, never the system's "There is no
// disk in the drive" box: not for the launcher's own calls, nor for the web
// browser re-reading the medium's pictures, nor for the shell starting a
// link's target, which run on threads of their own. The process's mode holds
// for every thread; the calling thread's is set too. The flags that were set
// stay set.
inline void SwitchOffCriticalErrorBoxes() {
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS);
    ::SetThreadErrorMode(::GetThreadErrorMode() | SEM_FAILCRITICALERRORS, nullptr);
}
