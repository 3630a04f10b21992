#include "mt/current_thread.h"

#include "object/manager.h"

namespace Mt {

Ref<CurrentThread> GetCurrentThread() {
    return Object::Create<CurrentThread>(BaseString(kCurrentThreadClsid));
}

void CheckInterrupt() {
    Ref<Object::Manager> manager = Object::GetManager();
    if (!manager->HasClass(BaseString(kCurrentThreadClsid))) {
        return;
    }
    Object::CreateWith<CurrentThread>(*manager, BaseString(kCurrentThreadClsid))->CheckInterrupt();
}

}  // namespace Mt
