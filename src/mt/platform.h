#pragma once

#include <cstdint>

#include "mt/message.h"

// The operating system's events, threads and waits, in the terms of the Win32
// calls they stand for, so that the waiting rules are the same code on every
// target. Failures come back as results, with Base::LastError() set.
namespace Mt::Platform {

// A waitable object: an event or a thread (a HANDLE on Windows; on POSIX an
// eventfd, and for a thread an event set once the thread has ended).
struct WaitObject;
using Handle = WaitObject*;

inline constexpr uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr uint32_t kWaitTimeout = 258;
inline constexpr uint32_t kWaitFailed = 0xFFFFFFFF;

// CreateEventW without a name; null on failure.
Handle NewEvent(bool manual_reset, bool initially_set);
void SetEvent(Handle event);
void ResetEvent(Handle event);
void CloseHandle(Handle handle);

// WaitForMultipleObjects for any one handle: the index of the handle that
// fired (an auto-reset event is reset by the wait that it ends), kWaitTimeout,
// or kWaitFailed.
uint32_t WaitForAny(const Handle* handles, uint32_t count, uint32_t timeout);

// MsgWaitForMultipleObjectsEx (QS_ALLINPUT, MWMO_INPUTAVAILABLE): as WaitForAny,
// and `count` when input is waiting in the calling thread's message queue.
uint32_t WaitForAnyOrInput(const Handle* handles, uint32_t count, uint32_t timeout);

// PeekMessageW with PM_REMOVE on the calling thread's queue.
bool TakeMessage(Message* message);

// TranslateMessage and DispatchMessageW. POSIX threads have no windows behind
// their queue, so there is nothing to dispatch to.
void DispatchWindowMessage(const Message& message);

// Gives the calling thread a message queue, so that messages posted to it are
// kept.
void EnsureMessageQueue();

// The calling thread's own pointer (a TLS index on Windows), null until set.
// `at_thread_end` runs on the thread when it ends, while the pointer is still
// readable; it is the same function for every thread.
void* CurrentThreadValue();
void SetCurrentThreadValue(void* value, void (*at_thread_end)(void*));

// A handle of the calling thread that fires once the thread has ended
// (DuplicateHandle of the pseudo handle on Windows).
Handle OpenCurrentThread();

// Starts entry(argument) on a new thread (_beginthreadex). The thread's handle
// is stored in *thread before the thread runs. False, with the last error set
// to the error the runtime recorded, when the thread cannot start.
bool StartThread(unsigned (*entry)(void*), void* argument, Handle* thread);

// GetThreadDesktop and SetThreadDesktop; POSIX threads have no desktop.
void* CurrentDesktop();
void SetCurrentDesktop(void* desktop);

}  // namespace Mt::Platform
