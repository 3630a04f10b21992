#pragma once

// windows.h for the platform files, without the macros that would rename the
// runtime's own operations (Yield, GetObject, ...).
#include <windows.h>

#undef Yield
#undef GetObject
#undef CreateEvent
#undef GetMessage
#undef DeleteFile
#undef MessageBox
#undef LoadLibrary
#undef FindWindow
#undef GetCurrentDirectory
#undef CreateDirectory
#undef RemoveDirectory
#undef GetClassName

// char16_t and wchar_t are both UTF-16 code units on Windows.
inline const wchar_t* WidePtr(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* WidePtr(char16_t* text) {
    return reinterpret_cast<wchar_t*>(text);
}
inline const char16_t* Utf16Ptr(const wchar_t* text) {
    return reinterpret_cast<const char16_t*>(text);
}
