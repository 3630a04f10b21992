#include "object/cleanup.h"

#include <atomic>
#include <map>
#include <mutex>
#include <vector>

#include "object/impl.h"
#include "object/singleton.h"

namespace Cleanup {

namespace {

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
};

}  // namespace

Ref<Manager> GetManager() {
    static Object::WeakSingleton<Manager> singleton;
    return singleton.Get([] { return Object::New<ManagerImpl>(); });
}

}  // namespace Cleanup
