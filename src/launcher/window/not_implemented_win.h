#pragma once

#include <string>

#include "base/win.h"

// The answer of the control host to a method it does not provide: E_NOTIMPL,
// after a line for a debugger naming the method (OutputDebugString, as a host
// keeps), so that whoever first sees the browser control ask for it on a
// Windows that Wine does not stand for learns what it asked.
inline HRESULT NotImplemented(const wchar_t* method) {
    std::wstring line = L"autorun: the control host does not implement ";
    line += method;
    line += L"\n";
    ::OutputDebugStringW(line.c_str());
    return E_NOTIMPL;
}
