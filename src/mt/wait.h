#pragma once

#include <cstdint>
#include <vector>

#include "error/error.h"
#include "mt/blocker.h"

namespace Mt {

// The merged wait of the calling thread: its interrupt event first, then the
// handle of each handle blocker in order; with a message-queue blocker, input
// in the thread's queue ends the wait too. The time-out counts from the start
// of the wait, however often messages sent from other threads wake it on the
// way (they are handled there and do not end it). Every blocker is then told
// whether it fired and the wait's error, which is also returned: the
// interrupt error when the thread was interrupted, "WFMO err %d(%d)" when the
// wait failed.
Error WaitForBlockers(const std::vector<Ref<::Win32::BlockerInfo>>& blockers, uint32_t timeout);

}  // namespace Mt
