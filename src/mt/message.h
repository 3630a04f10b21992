#pragma once

#include <cstdint>

namespace Mt {

// A message of a thread's message queue (the fields of a Win32 MSG that matter
// here). On POSIX the queue holds only what was posted to the thread.
struct Message {
    void* window = nullptr;
    uint32_t id = 0;
    uintptr_t wparam = 0;
    intptr_t lparam = 0;
    uint32_t time = 0;
};

// The platform's identifier of the calling thread.
uint32_t CurrentThreadId();

// Posts a message to a thread's queue (PostThreadMessageW). False, with the
// last error set (1444 for a thread without a queue), when it cannot.
bool PostMessageToThread(uint32_t thread_id, const Message& message);

}  // namespace Mt
