#include "object/system.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <set>

#include "object/interrupt.h"
#include "object/manager.h"
#include "object/singleton.h"
#include "object/zombie.h"

namespace Object {

namespace {

// The process-wide set of class identifiers already started.
class StartupTracker final : public Impl<StartupTracker, BaseFace> {
public:
    bool Contains(const BaseString& clsid) {
        std::lock_guard lock(mutex_);
        return started_.count(clsid) != 0;
    }
    void Add(const BaseString& clsid) {
        std::lock_guard lock(mutex_);
        started_.insert(clsid);
    }

private:
    std::mutex mutex_;
    std::set<BaseString> started_;
};

Ref<StartupTracker> GetStartupTracker() {
    static WeakSingleton<StartupTracker> singleton;
    return singleton.Get([] { return New<StartupTracker>(); });
}

// What module start builds: the manager with every registered factory, and the
// start-up tracker.
struct System {
    Ref<StartupTracker> tracker = GetStartupTracker();
    Ref<Manager> manager = GetManager();
};

std::atomic<bool> g_started{false};
std::mutex g_system_mutex;
System* g_system = nullptr;

void RunStartupPass(Manager& manager, StartupTracker& tracker) {
    std::vector<ClassRecord> records;
    manager.ListClasses(records, BaseString(), BaseString(Startup::kIid.text));
    for (const ClassRecord& record : records) {
        if (tracker.Contains(record.clsid)) {
            continue;
        }
        try {
            manager.Create(record.clsid, Startup::kIid);
            tracker.Add(record.clsid);
        } catch (const Error&) {
            CheckInterrupt();
        }
    }
}

}  // namespace

void ModuleStart() {
    if (g_started.exchange(true)) {
        return;
    }
    System* system = new System;
    for (FactoryRegistration* node = FactoryRegistration::Head(); node; node = node->Next()) {
        system->manager->AddFactory(node->GetFactory());
    }
    {
        std::lock_guard lock(g_system_mutex);
        g_system = system;
    }
    std::atexit(ModuleStop);
    RunStartupPass(*system->manager, *system->tracker);
}

void ModuleStop() {
    System* system;
    {
        std::lock_guard lock(g_system_mutex);
        system = g_system;
        g_system = nullptr;
    }
    delete system;
    Zombie::ReleaseGlobal();
}

bool IsModuleStarted() {
    return g_started.load();
}

}  // namespace Object
