// The state each module has once: its lock and its registration list. This file
// is compiled into the executable's runtime and into every plug-in library, so
// that code always finds the state of the module it is linked into (plug-ins
// keep these definitions to themselves: hidden on ELF, not imported on Windows).
#include "object/factory.h"
#include "object/module_lock.h"

namespace Object {

namespace {
FactoryRegistration* g_registration_head = nullptr;
}

ModuleLock& ThisModule() noexcept {
    static constinit ModuleLock module_lock;
    return module_lock;
}

FactoryRegistration::FactoryRegistration(Ref<Factory> factory) noexcept
    : next_(g_registration_head), factory_(std::move(factory)) {
    g_registration_head = this;
    if (factory_) {
        ThisModule().Unlock();
    }
}

FactoryRegistration::~FactoryRegistration() {
    // Taken back for the release of the factory, which gives one lock back.
    if (factory_) {
        ThisModule().Lock();
    }
}

FactoryRegistration* FactoryRegistration::Head() noexcept {
    return g_registration_head;
}

}  // namespace Object
