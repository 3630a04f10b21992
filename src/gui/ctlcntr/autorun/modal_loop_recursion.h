#pragma once

#include <cstdint>

// How many dialog message handlers are active on the calling thread, shared by
// every modal dialog of the thread and kept in the thread slot
// "TID_ModalLoopRecurseControl". Adds `change` and returns the new count.
int32_t ChangeModalLoopRecursion(int32_t change);
