#pragma once

#include <cstdint>

// How many dialog message handlers are active on the calling thread, shared by
// every modal dialog of the thread.
int32_t& ModalLoopRecursion();
