#include "mt/current_thread.h"

#include "object/interrupt.h"
#include "object/manager.h"

namespace Mt {

Ref<CurrentThread> GetCurrentThread() {
    return Object::Create<CurrentThread>(BaseString(kCurrentThreadClsid));
}

namespace {
// Lower layers check through the runtime's hook.
const bool g_installed = (Object::InstallInterruptCheck(CheckInterrupt), true);
}  // namespace

void CheckInterrupt() {
    Ref<Object::Manager> manager = Object::GetManager();
    if (!manager->HasClass(BaseString(kCurrentThreadClsid))) {
        return;
    }
    Object::CreateWith<CurrentThread>(*manager, BaseString(kCurrentThreadClsid))->CheckInterrupt();
}

}  // namespace Mt
