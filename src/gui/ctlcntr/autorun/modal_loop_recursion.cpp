#include "gui/ctlcntr/autorun/modal_loop_recursion.h"

int32_t& ModalLoopRecursion() {
    thread_local int32_t counter = 0;
    return counter;
}
