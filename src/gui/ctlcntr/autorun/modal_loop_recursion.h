#pragma once

#include <cstdint>

// How many dialog message handlers are active on the calling thread, shared by
// every modal dialog of the thread. The counter lives in an object kept in the
// thread slot "TID_ModalLoopRecurseControl", made on first use.
int32_t& ModalLoopRecursion();
