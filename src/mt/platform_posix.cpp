#include "mt/platform.h"

#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "base/errno_win32.h"
#include "base/platform.h"

namespace Mt {

namespace Platform {

// An eventfd whose counter is non-zero while the event is set. `sets` gives
// ThreadSanitizer (which does not see eventfd) the order between a Set and the
// wait it ends.
struct WaitObject {
    std::atomic<int> refs{1};
    std::atomic<uint32_t> sets{0};
    int fd = -1;
    bool manual_reset = false;
};

}  // namespace Platform

namespace {

using Platform::Handle;

constexpr uint32_t kErrorInvalidThreadId = 1444;

void Signal(int fd) {
    uint64_t one = 1;
    while (write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

// Reads the counter back to zero; false when it already was.
bool Drain(int fd) {
    uint64_t count;
    ssize_t got;
    while ((got = read(fd, &count, sizeof count)) < 0 && errno == EINTR) {
    }
    return got == sizeof count;
}

Handle AddRef(Handle handle) {
    handle->refs.fetch_add(1, std::memory_order_relaxed);
    return handle;
}

// The calling thread's message queue: a locked deque with an eventfd that is
// readable while the deque holds messages.
struct MessageQueue {
    std::mutex mutex;
    std::deque<Message> messages;
    int fd = -1;
};

std::mutex g_queues_mutex;
std::unordered_map<uint32_t, std::shared_ptr<MessageQueue>>& Queues() {
    static auto* queues = new std::unordered_map<uint32_t, std::shared_ptr<MessageQueue>>;
    return *queues;
}

// Registers the thread's queue for posting while the thread lives.
struct QueueHolder {
    std::shared_ptr<MessageQueue> queue;
    uint32_t thread_id = 0;

    MessageQueue* Get() {
        if (!queue) {
            int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
            if (fd < 0) {
                return nullptr;
            }
            queue = std::make_shared<MessageQueue>();
            queue->fd = fd;
            thread_id = CurrentThreadId();
            std::lock_guard lock(g_queues_mutex);
            Queues()[thread_id] = queue;
        }
        return queue.get();
    }
    ~QueueHolder() {
        if (queue) {
            {
                std::lock_guard lock(g_queues_mutex);
                Queues().erase(thread_id);
            }
            std::lock_guard lock(queue->mutex);
            close(queue->fd);
            queue->fd = -1;
        }
    }
};

// The end of the calling thread: set when the thread's thread-locals are
// destroyed, after the others below.
struct ThreadEnd {
    Handle handle = nullptr;
    ~ThreadEnd() {
        if (handle) {
            Platform::SetEvent(handle);
            Platform::CloseHandle(handle);
        }
    }
};

struct ThreadValue {
    void* value = nullptr;
    void (*at_thread_end)(void*) = nullptr;
    ~ThreadValue() {
        if (value) {
            at_thread_end(value);
            value = nullptr;
        }
    }
};

// The thread-locals of this file are made together, in this order, on a
// thread's first use of any of them, and destroyed in the reverse order.
thread_local ThreadEnd t_end;
thread_local QueueHolder t_queue;
thread_local ThreadValue t_value;

bool Fired(Handle handle) {
    if (handle->manual_reset) {
        return true;
    }
    return Drain(handle->fd);  // another waiter may have taken it first
}

uint32_t Wait(const Handle* handles, uint32_t count, uint32_t timeout, MessageQueue* queue) {
    std::vector<pollfd> fds(count + (queue ? 1 : 0));
    for (uint32_t i = 0; i < count; ++i) {
        fds[i] = {handles[i]->fd, POLLIN, 0};
    }
    if (queue) {
        fds[count] = {queue->fd, POLLIN, 0};
    }
    uint32_t start = Base::TickCount();
    for (;;) {
        int wait_ms = -1;
        if (timeout != Platform::kInfinite) {
            uint32_t elapsed = Base::TickCount() - start;
            wait_ms = elapsed >= timeout ? 0 : static_cast<int>(timeout - elapsed);
        }
        int ready = poll(fds.data(), fds.size(), wait_ms);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            Base::SetLastErrorFromErrno();
            return Platform::kWaitFailed;
        }
        for (uint32_t i = 0; i < count; ++i) {
            if (fds[i].revents & (POLLERR | POLLNVAL)) {
                Base::SetLastError(6);  // ERROR_INVALID_HANDLE
                return Platform::kWaitFailed;
            }
            if ((fds[i].revents & POLLIN) && Fired(handles[i])) {
                handles[i]->sets.load(std::memory_order_acquire);
                return i;
            }
        }
        if (queue && (fds[count].revents & POLLIN)) {
            return count;
        }
        if (ready == 0) {
            return Platform::kWaitTimeout;
        }
    }
}

struct ThreadStart {
    unsigned (*entry)(void*);
    void* argument;
    Handle end;
};

void RunThread(ThreadStart start) {
    t_end.handle = start.end;
    start.entry(start.argument);
}

}  // namespace

uint32_t CurrentThreadId() {
    // The system call, not gettid(): that came with the C library 2.30, and the
    // launcher starts on older ones.
    return static_cast<uint32_t>(syscall(SYS_gettid));
}

bool PostMessageToThread(uint32_t thread_id, const Message& message) {
    std::shared_ptr<MessageQueue> queue;
    {
        std::lock_guard lock(g_queues_mutex);
        auto found = Queues().find(thread_id);
        if (found != Queues().end()) {
            queue = found->second;
        }
    }
    if (!queue) {
        Base::SetLastError(kErrorInvalidThreadId);
        return false;
    }
    std::lock_guard lock(queue->mutex);
    if (queue->fd < 0) {
        Base::SetLastError(kErrorInvalidThreadId);
        return false;
    }
    queue->messages.push_back(message);
    queue->messages.back().time = Base::TickCount();
    if (queue->messages.size() == 1) {
        Signal(queue->fd);
    }
    return true;
}

namespace Platform {

Handle NewEvent(bool manual_reset, bool initially_set) {
    int fd = eventfd(initially_set ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0) {
        Base::SetLastErrorFromErrno();
        return nullptr;
    }
    Handle event = new WaitObject;
    event->fd = fd;
    event->manual_reset = manual_reset;
    return event;
}

void SetEvent(Handle event) {
    event->sets.fetch_add(1, std::memory_order_release);
    Signal(event->fd);
}

void ResetEvent(Handle event) {
    Drain(event->fd);
}

void CloseHandle(Handle handle) {
    if (handle && handle->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        close(handle->fd);
        delete handle;
    }
}

uint32_t WaitForAny(const Handle* handles, uint32_t count, uint32_t timeout) {
    return Wait(handles, count, timeout, nullptr);
}

uint32_t WaitForAnyOrInput(const Handle* handles, uint32_t count, uint32_t timeout) {
    MessageQueue* queue = t_queue.Get();
    if (!queue) {
        Base::SetLastErrorFromErrno();
        return kWaitFailed;
    }
    return Wait(handles, count, timeout, queue);
}

bool TakeMessage(Message* message) {
    MessageQueue* queue = t_queue.Get();
    if (!queue) {
        return false;
    }
    std::lock_guard lock(queue->mutex);
    if (queue->messages.empty()) {
        return false;
    }
    *message = queue->messages.front();
    queue->messages.pop_front();
    if (queue->messages.empty()) {
        Drain(queue->fd);
    }
    return true;
}

void DispatchWindowMessage(const Message&) {}

void EnsureMessageQueue() {
    t_queue.Get();
}

void* CurrentThreadValue() {
    return t_value.value;
}

void SetCurrentThreadValue(void* value, void (*at_thread_end)(void*)) {
    t_value.value = value;
    t_value.at_thread_end = at_thread_end;
}

Handle OpenCurrentThread() {
    if (!t_end.handle) {
        t_end.handle = NewEvent(true, false);
        if (!t_end.handle) {
            return nullptr;
        }
    }
    return AddRef(t_end.handle);
}

bool StartThread(unsigned (*entry)(void*), void* argument, Handle* thread) {
    Handle end = NewEvent(true, false);
    if (!end) {
        return false;
    }
    *thread = AddRef(end);
    try {
        std::thread(RunThread, ThreadStart{entry, argument, end}).detach();
    } catch (const std::system_error& error) {
        CloseHandle(end);
        CloseHandle(end);
        *thread = nullptr;
        Base::SetLastError(Base::Win32ErrorFromErrno(error.code().value()));
        return false;
    }
    return true;
}

void* CurrentDesktop() {
    return nullptr;
}

void SetCurrentDesktop(void*) {}

}  // namespace Platform

}  // namespace Mt
