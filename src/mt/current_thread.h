#pragma once

#include "base/string.h"
#include "base/value.h"
#include "object/ref.h"

namespace Mt {

// The calling thread's service: thread slots, interruption, thread start.
class CurrentThread : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Mt::CurrentThread"};
    using Parent = BaseFace;

    // Stores a value in the calling thread's slot; an empty value removes it.
    virtual void SetSlot(const BaseString& slot, const Value& value) = 0;
    // The value of the calling thread's slot, empty when absent.
    virtual Value GetSlot(const BaseString& slot) = 0;
    // Throws the interrupt error when the calling thread has a pending interrupt.
    virtual void CheckInterrupt() = 0;
};

inline constexpr char16_t kCurrentThreadClsid[] = u"CID_Mt::CurrentThreadImpl";

// CheckInterrupt of the calling thread, for code that catches an Error and
// carries on. Does nothing while no threads service is registered.
void CheckInterrupt();

}  // namespace Mt
