#include "object/impl.h"

#include <mutex>

#include "base/platform.h"
#include "object/zombie.h"

namespace Object {

namespace {

WeakLink* const kListBusy = reinterpret_cast<WeakLink*>(~uintptr_t{0});

// Taken around every read of a weak link's target and around the re-pointing of
// a dying object's links, always before the target's own list lock. This keeps
// an object from being freed while another thread adds a reference to it
// through a weak link.
std::mutex g_weak_references;

std::mutex g_zombie_mutex;
Zombie* g_zombie = nullptr;
std::atomic<int> g_live_zombies{0};

}  // namespace

void LockWeakReferences() noexcept {
    g_weak_references.lock();
}

void UnlockWeakReferences() noexcept {
    g_weak_references.unlock();
}

WeakLink* LockWeakList(std::atomic<WeakLink*>& head) noexcept {
    for (;;) {
        WeakLink* current = head.load(std::memory_order_acquire);
        if (current != kListBusy &&
            head.compare_exchange_weak(current, kListBusy, std::memory_order_acquire)) {
            return current;
        }
        Base::YieldThread();
    }
}

void RepointWeakLinksToZombie(std::atomic<WeakLink*>& head) noexcept {
    if (head.load(std::memory_order_acquire) == nullptr) {
        // No weak link exists and none can appear: nobody holds a reference.
        return;
    }
    LockWeakReferences();
    // The list is taken for good: the object is about to be destroyed.
    WeakLink* link = LockWeakList(head);
    while (link) {
        WeakLink* next = link->next;
        link->next = link->prev = nullptr;
        Zombie* zombie = Zombie::AcquireForLink();
        link->target = zombie;
        link = next;
    }
    UnlockWeakReferences();
}

void WeakLinkNode::Link(BaseFace* target) noexcept {
    link_.target = target;
    target->LinkWeak(&link_);
}

void WeakLinkNode::Unlink() noexcept {
    // The target may be re-pointed at the Zombie right now: read it under the lock.
    LockWeakReferences();
    if (link_.target) {
        link_.target->UnlinkWeak(&link_);
        link_.target = nullptr;
    }
    UnlockWeakReferences();
}

bool WeakLinkNode::TryAddRef(BaseFace* expected) noexcept {
    LockWeakReferences();
    bool alive = link_.target == expected && expected->AddRef();
    UnlockWeakReferences();
    return alive;
}

Zombie::Zombie() noexcept {
    ThisModule().Lock();
    g_live_zombies.fetch_add(1, std::memory_order_relaxed);
}

Zombie::~Zombie() {
    g_live_zombies.fetch_sub(1, std::memory_order_relaxed);
    ThisModule().Unlock();
}

Zombie* Zombie::AcquireForLink() noexcept {
    std::lock_guard lock(g_zombie_mutex);
    if (!g_zombie) {
        g_zombie = new Zombie;
    }
    g_zombie->count_.fetch_add(1, std::memory_order_relaxed);
    return g_zombie;
}

void Zombie::ReleaseGlobal() noexcept {
    Zombie* zombie;
    {
        std::lock_guard lock(g_zombie_mutex);
        zombie = g_zombie;
        g_zombie = nullptr;
    }
    if (zombie) {
        zombie->UnlinkWeak(nullptr);
    }
}

int Zombie::LiveCount() noexcept {
    return g_live_zombies.load(std::memory_order_relaxed);
}

void Zombie::LinkWeak(WeakLink*) noexcept {
    count_.fetch_add(1, std::memory_order_relaxed);
}

void Zombie::UnlinkWeak(WeakLink*) noexcept {
    if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete this;
    }
}

}  // namespace Object
