#include "launcher/window/modal_dialog_base.h"

#include "mt/current_thread.h"

int32_t ChangeModalLoopRecursion(int32_t change) {
    const BaseString slot(u"TID_ModalLoopRecurseControl");
    Ref<Mt::CurrentThread> thread = Mt::GetCurrentThread();
    int32_t count = thread->GetSlot(slot).GetInteger() + change;
    thread->SetSlot(slot, Value(count));
    return count;
}

void ModalDialogBase::EnterHandler() {
    ChangeModalLoopRecursion(1);
}

void ModalDialogBase::LeaveHandler(Error& failure, bool is_end_message) {
    try {
        Mt::CheckInterrupt();
    } catch (const Error& interrupt) {
        failure = interrupt;
    }
    int32_t depth = ChangeModalLoopRecursion(-1);
    bool outermost = !run_active_ || depth == 0;
    if (failure.IsSet() && !pending_error_.IsSet() && outermost) {
        pending_error_ = failure;
    }
    if (pending_error_.IsSet()) {
        if (ending_) {
            return;
        }
        CallEndModalOnce();
    }
    if (!ending_ && is_end_message) {
        CallEndModalOnce();
    }
}

// EndModal may send messages of its own; they must not end the run again.
void ModalDialogBase::CallEndModalOnce() {
    ending_ = true;
    EndModal();
    ending_ = false;
}
