#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

#include "error/error.h"

// How many dialog message handlers are active on the calling thread, shared by
// every modal dialog of the thread and kept in the thread slot
// "TID_ModalLoopRecurseControl". Adds `change` and returns the new count.
int32_t ChangeModalLoopRecursion(int32_t change);

// What every modal dialog shares: how a message handler's failure ends the run.
// Each message (window event, signal, browser notification) reaches its handler
// through HandleMessage. A failure at the outermost handler becomes the pending
// error and ends the modal loop; it is not shown, because the dialog may be
// half built. A failure inside a nested handler (one running inside a modal
// loop of another handler) is dropped there, so the outer handler finishes.
class ModalDialogBase {
public:
    virtual ~ModalDialogBase() = default;

    // Ends the running modal loop; the base has no loop to end.
    virtual void EndModal() {}

    // The failure that ended the run; not set while none did.
    const Error& PendingError() const { return pending_error_; }

protected:
    // The modal loop runs between these two calls.
    void BeginModalRun() { run_active_ = true; }
    void EndModalRun() { run_active_ = false; }

    // Runs one message's handler and returns its result; a default result when
    // it failed. An end message (the session ends, a cancel broadcast) ends the
    // run after its handler.
    template <class Handler>
    std::invoke_result_t<Handler> HandleMessage(bool is_end_message, Handler&& handler) {
        using Result = std::invoke_result_t<Handler>;
        EnterHandler();
        Error failure;
        if constexpr (std::is_void_v<Result>) {
            try {
                std::forward<Handler>(handler)();
            } catch (const Error& error) {
                failure = error;
            }
            LeaveHandler(failure, is_end_message);
        } else {
            Result result{};
            try {
                result = std::forward<Handler>(handler)();
            } catch (const Error& error) {
                failure = error;
            }
            LeaveHandler(failure, is_end_message);
            return result;
        }
    }

private:
    void EnterHandler();
    void LeaveHandler(Error& failure, bool is_end_message);
    void CallEndModalOnce();

    bool run_active_ = false;
    Error pending_error_;
    bool ending_ = false;
};
