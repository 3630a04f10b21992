#include "object/cleanup.h"

#include <atomic>
#include <map>
#include <mutex>
#include <vector>

#include "object/impl.h"
#include "object/manager.h"
#include "object/singleton.h"

namespace Cleanup {

namespace {

std::atomic<uint32_t> g_sweep_interval{60000};

class ManagerImpl final : public Object::Impl<ManagerImpl, Manager> {
public:
    void Run(bool repeat) override {
        if (running_.exchange(true)) {
            return;
        }
        struct ClearFlag {
            std::atomic<bool>& flag;
            ~ClearFlag() { flag.store(false); }
        } clear_flag{running_};
        bool worked;
        do {
            worked = false;
            for (const Ref<Item>& item : LiveItems()) {
                worked = item->Sweep(repeat) || worked;
            }
        } while (repeat && worked);
    }

    void AddItem(const Ref<Item>& item) override {
        std::lock_guard lock(mutex_);
        // An entry left by a dead item at the same address is replaced.
        items_[item.Identity()].Set(item);
    }

    Ref<ActivityTicket> GetActivityTicket() override {
        std::lock_guard lock(ticket_mutex_);
        if (Ref<ActivityTicket> live = ticket_.Lock()) {
            return live;
        }
        // The threads service makes it: it runs on the service's background loop.
        Ref<ActivityTicket> ticket =
            Object::Create<ActivityTicket>(BaseString(kActivityTicketClsid));
        ticket_.Set(ticket);
        return ticket;
    }

private:
    std::vector<Ref<Item>> LiveItems() {
        std::vector<Ref<Item>> live;
        std::lock_guard lock(mutex_);
        for (auto entry = items_.begin(); entry != items_.end();) {
            if (Ref<Item> item = entry->second.Lock()) {
                live.push_back(std::move(item));
                ++entry;
            } else {
                entry = items_.erase(entry);
            }
        }
        return live;
    }

    std::mutex mutex_;
    std::map<uint64_t, WeakRef<Item>> items_;
    std::atomic<bool> running_{false};

    std::mutex ticket_mutex_;
    WeakRef<ActivityTicket> ticket_;
};

}  // namespace

Ref<Manager> GetManager() {
    static Object::WeakSingleton<Manager> singleton;
    return singleton.Get([] { return Object::New<ManagerImpl>(); });
}

uint32_t SweepInterval() {
    return g_sweep_interval.load();
}

void SetSweepIntervalForTesting(uint32_t milliseconds) {
    g_sweep_interval.store(milliseconds);
}

}  // namespace Cleanup
