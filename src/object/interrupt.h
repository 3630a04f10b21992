#pragma once

namespace Object {

// Code that catches an Error and carries on calls CheckInterrupt right after,
// so that a pending interruption of the thread is not swallowed. It throws
// the interrupt error when the calling thread has been interrupted. The
// threads service, a layer above, installs the check; until it does there is
// nothing to check.
void CheckInterrupt();

using InterruptCheck = void (*)();
void InstallInterruptCheck(InterruptCheck check);

}  // namespace Object
