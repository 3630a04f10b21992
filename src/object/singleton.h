#pragma once

#include <mutex>

#include "object/ref.h"

namespace Object {

// A process-wide object held through a weak reference: Get returns the live
// object, or makes a new one when the last holder has let it go. So a singleton
// lives only while someone holds it.
template <class T>
class WeakSingleton {
public:
    template <class Make>
    Ref<T> Get(Make make) {
        std::lock_guard lock(mutex_);
        if (Ref<T> live = weak_.Lock()) {
            return live;
        }
        Ref<T> made = make();
        weak_.Set(made);
        return made;
    }

private:
    std::mutex mutex_;
    WeakRef<T> weak_;
};

}  // namespace Object
