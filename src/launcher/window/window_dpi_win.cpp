#include "launcher/window/window_dpi_win.h"

namespace {

template <class Function>
Function SystemFunction(HMODULE library, const char* name) {
    return library ? reinterpret_cast<Function>(
                         reinterpret_cast<void*>(::GetProcAddress(library, name)))
                   : nullptr;
}

// Windows 8.1's per-monitor query lives in shcore.dll, which Windows 7 does
// not have; loaded from the system's folder, never from beside the launcher.
UINT MonitorDpi(HWND window) {
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto get_dpi_for_monitor = SystemFunction<GetDpiForMonitorFunction>(
        ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "GetDpiForMonitor");
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    UINT x = 0;
    UINT y = 0;
    if (!get_dpi_for_monitor ||
        FAILED(get_dpi_for_monitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST),
                                   kEffectiveDpi, &x, &y))) {
        return 0;
    }
    return y;
}

}  // namespace

UINT WindowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto get_dpi_for_window = SystemFunction<GetDpiForWindowFunction>(
        ::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    UINT dpi = get_dpi_for_window ? get_dpi_for_window(window) : 0;
    if (!dpi) {
        dpi = MonitorDpi(window);
    }
    return dpi ? dpi : SystemDpi();
}

UINT SystemDpi() {
    HDC screen = ::GetDC(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

int ScaleForDpi(int pixels, UINT dpi) {
    return ::MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kDefaultDpi));
}
