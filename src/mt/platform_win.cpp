#include "mt/platform.h"

#include <errno.h>
#include <process.h>
#include <stdlib.h>

#include "base/win.h"

namespace Mt {

namespace {

using Platform::Handle;

HANDLE Native(Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

Handle Wrap(HANDLE handle) {
    return reinterpret_cast<Handle>(handle);
}

// Without this the handles of a wait go straight to the kernel: a Handle is a
// HANDLE.
const HANDLE* NativeArray(const Handle* handles) {
    return reinterpret_cast<const HANDLE*>(handles);
}

struct ThreadStart {
    unsigned (*entry)(void*);
    void* argument;
};

unsigned __stdcall RunThread(void* start_data) {
    ThreadStart start = *static_cast<ThreadStart*>(start_data);
    delete static_cast<ThreadStart*>(start_data);
    return start.entry(start.argument);
}

// The thread value lives in a TLS index, so it stays readable to the end; a
// fiber-local slot holding the same pointer runs the clean-up at thread end.
DWORD g_tls_index = TLS_OUT_OF_INDEXES;
DWORD g_fls_index = FLS_OUT_OF_INDEXES;
void (*g_at_thread_end)(void*) = nullptr;

void WINAPI ThreadValueEnds(void* value) {
    if (value) {
        g_at_thread_end(value);
        ::TlsSetValue(g_tls_index, nullptr);
    }
}

}  // namespace

uint32_t CurrentThreadId() {
    return ::GetCurrentThreadId();
}

bool PostMessageToThread(uint32_t thread_id, const Message& message) {
    return ::PostThreadMessageW(thread_id, message.id, message.wparam, message.lparam) != FALSE;
}

namespace Platform {

Handle NewEvent(bool manual_reset, bool initially_set) {
    return Wrap(::CreateEventW(nullptr, manual_reset, initially_set, nullptr));
}

void SetEvent(Handle event) {
    ::SetEvent(Native(event));
}

void ResetEvent(Handle event) {
    ::ResetEvent(Native(event));
}

void CloseHandle(Handle handle) {
    if (handle) {
        ::CloseHandle(Native(handle));
    }
}

uint32_t WaitForAny(const Handle* handles, uint32_t count, uint32_t timeout) {
    return ::WaitForMultipleObjects(count, NativeArray(handles), FALSE, timeout);
}

uint32_t WaitForAnyOrInput(const Handle* handles, uint32_t count, uint32_t timeout) {
    return ::MsgWaitForMultipleObjectsEx(count, NativeArray(handles), timeout, QS_ALLINPUT,
                                         MWMO_INPUTAVAILABLE);
}

bool TakeMessage(Message* message) {
    MSG msg;
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    *message = {msg.hwnd, msg.message, msg.wParam, msg.lParam, msg.time};
    return true;
}

void DispatchWindowMessage(const Message& message) {
    MSG msg{};
    msg.hwnd = static_cast<HWND>(message.window);
    msg.message = message.id;
    msg.wParam = message.wparam;
    msg.lParam = message.lparam;
    msg.time = message.time;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

void EnsureMessageQueue() {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

void* CurrentThreadValue() {
    return g_tls_index == TLS_OUT_OF_INDEXES ? nullptr : ::TlsGetValue(g_tls_index);
}

void SetCurrentThreadValue(void* value, void (*at_thread_end)(void*)) {
    static const bool allocated = [at_thread_end] {
        g_at_thread_end = at_thread_end;
        g_tls_index = ::TlsAlloc();
        g_fls_index = ::FlsAlloc(ThreadValueEnds);
        return true;
    }();
    (void)allocated;
    ::TlsSetValue(g_tls_index, value);
    ::FlsSetValue(g_fls_index, value);
}

Handle OpenCurrentThread() {
    HANDLE thread = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(),
                           &thread, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        return nullptr;
    }
    return Wrap(thread);
}

bool StartThread(unsigned (*entry)(void*), void* argument, Handle* thread) {
    auto* start = new ThreadStart{entry, argument};
    uintptr_t started = _beginthreadex(nullptr, 0, RunThread, start, CREATE_SUSPENDED, nullptr);
    if (started == 0) {
        unsigned long os_error = _doserrno;
        delete start;
        ::SetLastError(os_error);
        return false;
    }
    *thread = Wrap(reinterpret_cast<HANDLE>(started));
    ::ResumeThread(reinterpret_cast<HANDLE>(started));
    return true;
}

void* CurrentDesktop() {
    return ::GetThreadDesktop(::GetCurrentThreadId());
}

void SetCurrentDesktop(void* desktop) {
    ::SetThreadDesktop(static_cast<HDESK>(desktop));
}

}  // namespace Platform

}  // namespace Mt
