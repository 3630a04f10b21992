#include <gtest/gtest.h>

#include "base/win.h"

#include <atomic>
#include <thread>

#include "mt/blocker.h"
#include "object/manager.h"

// Waits that take input from the thread's message queue, with real messages
// sent from another thread.
namespace {

std::atomic<int> g_received{0};

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_APP) {
        ++g_received;
        return 0;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

// A message-only window of the calling thread that counts the WM_APP messages
// it is sent.
class CountingWindow {
public:
    CountingWindow() {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = CountingProc;
        window_class.hInstance = ::GetModuleHandleW(nullptr);
        window_class.lpszClassName = L"OrvellaCountingWindow";
        ::RegisterClassW(&window_class);
        window_ = ::CreateWindowExW(0, L"OrvellaCountingWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, window_class.hInstance, nullptr);
    }
    ~CountingWindow() { ::DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

// Each message sent to a window of the waiting thread wakes its wait and is
// handled there; the time-out still counts from the start of the wait, so a
// steady stream of them cannot keep the wait from ending.
TEST(MessageQueueWait, MessagesSentFromAnotherThreadDoNotStartTheTimeOutAgain) {
    CountingWindow window;
    ASSERT_TRUE(window.get());
    // One every few milliseconds for ten seconds and more, far beyond the
    // time-out of the wait.
    constexpr int kMessages = 2000;
    std::atomic<int> sent{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::thread sender([&] {
        for (int i = 0; i < kMessages && !stop; ++i) {
            ::SendMessageW(window.get(), WM_APP, 0, 0);
            ++sent;
            ::Sleep(5);
        }
        done = true;
    });

    auto events = Object::Create<Mt::Win32::EventFactory>(BaseString(Mt::kEventFactoryClsid));
    Ref<Mt::MessageQueueBlocker> queue = events->CreateMessageQueueBlocker();
    auto timeout = Object::Create<Mt::TimeBasedBlocker>(BaseString(Mt::kTimeBasedBlockerClsid));
    timeout->SetTimeout(200);
    auto wait = Object::Create<Mt::MultiBlocker>(BaseString(Mt::kMultiBlockerClsid));
    wait->Add(queue);
    wait->Add(timeout);
    int received_before = g_received;
    wait->Wait();
    bool sender_finished = sent == kMessages;
    int received_meanwhile = g_received - received_before;
    stop = true;
    // The sender may be inside SendMessage to this thread, which returns only
    // once this thread takes sent messages: take them until it ends.
    while (!done) {
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        ::Sleep(1);
    }
    sender.join();

    EXPECT_TRUE(timeout->IsFired());
    EXPECT_FALSE(queue->IsFired());
    EXPECT_GT(received_meanwhile, 0) << "no message woke the wait";
    EXPECT_FALSE(sender_finished) << "the wait lasted as long as the messages came";
}

}  // namespace
