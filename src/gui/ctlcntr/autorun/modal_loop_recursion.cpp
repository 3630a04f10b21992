#include "gui/ctlcntr/autorun/modal_loop_recursion.h"

#include "mt/current_thread.h"

int32_t ChangeModalLoopRecursion(int32_t change) {
    const BaseString slot(u"TID_ModalLoopRecurseControl");
    Ref<Mt::CurrentThread> thread = Mt::GetCurrentThread();
    int32_t count = thread->GetSlot(slot).GetInteger() + change;
    thread->SetSlot(slot, Value(count));
    return count;
}
