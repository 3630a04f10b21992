#pragma once

#include <cstdint>

#include "object/ref.h"

namespace Cleanup {

// Something that can give back idle resources.
class Item : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Cleanup::Item"};
    using Parent = BaseFace;

    // Releases what it can; true when it did some work.
    virtual bool Sweep(bool forced) = 0;
};

// While it lives, its manager sweeps its items from the background event loop
// at a steady pace.
class ActivityTicket : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Cleanup::ActivityTicket"};
    using Parent = BaseFace;
};

// Made through the object manager by the threads service, for the
// process-wide manager.
inline constexpr char16_t kActivityTicketClsid[] = u"CID_Cleanup::ActivityTicket";

// Keeps weak references to cleanup items and sweeps them on request.
class Manager : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Cleanup::Manager2"};
    using Parent = BaseFace;

    // Sweeps every live item; with `repeat`, again as long as one did work. A
    // call made while a run is in progress returns at once.
    virtual void Run(bool repeat) = 0;
    virtual void AddItem(const Ref<Item>& item) = 0;
    // The live activity ticket of this manager, made when none is alive.
    virtual Ref<ActivityTicket> GetActivityTicket() = 0;
};

// The process-wide cleanup manager (a weak singleton).
Ref<Manager> GetManager();

// Milliseconds between the sweeps of the activity tickets made from now on
// (a minute unless a test shortens it).
uint32_t SweepInterval();
void SetSweepIntervalForTesting(uint32_t milliseconds);

}  // namespace Cleanup
