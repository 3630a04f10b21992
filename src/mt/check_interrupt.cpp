#include "mt/current_thread.h"
#include "object/manager.h"

namespace Mt {

void CheckInterrupt() {
    Ref<Object::Manager> manager = Object::GetManager();
    if (!manager->HasClass(BaseString(kCurrentThreadClsid))) {
        return;
    }
    Object::CreateWith<CurrentThread>(*manager, BaseString(kCurrentThreadClsid))->CheckInterrupt();
}

}  // namespace Mt
