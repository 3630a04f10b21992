// Started by the launcher's "run:" links in the tests: leaves "ran.txt" in the
// current folder. A window program, so that starting it opens no console.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HANDLE file = ::CreateFileW(L"ran.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    ::CloseHandle(file);
    return 0;
}
