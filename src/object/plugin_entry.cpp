// The entry points of a plug-in library and its start-up list; orv_add_plugin
// compiles this file into every plug-in (with this_module.cpp), never into the
// executable.
#include <type_traits>

#include "base/export.h"
#include "object/plugin.h"

namespace Object {

namespace {
LibraryStartup* g_startup_head = nullptr;
}

LibraryStartup::LibraryStartup(void (*run)()) noexcept : next_(g_startup_head), run_(run) {
    g_startup_head = this;
}

LibraryStartup* LibraryStartup::Head() noexcept {
    return g_startup_head;
}

}  // namespace Object

namespace {

void* Registrations(int32_t reason) {
    return reason == Object::kRegistrationList ? Object::FactoryRegistration::Head() : nullptr;
}

}  // namespace

ORV_EXPORT bool Module_IsUnlocked_2_vn2(uint32_t milliseconds) {
    return Object::ThisModule().IsIdleFor(milliseconds);
}

ORV_EXPORT void* Module_GetStaticList_2_vn2(int32_t reason) {
    return Registrations(reason);
}

ORV_EXPORT void* Module_GetStaticList2_2_vn2(int32_t reason) {
    if (reason == Object::kStartupList) {
        return Object::LibraryStartup::Head();
    }
    return Registrations(reason);
}

static_assert(std::is_same_v<decltype(&Module_IsUnlocked_2_vn2), Object::IsUnlockedEntry>);
static_assert(std::is_same_v<decltype(&Module_GetStaticList_2_vn2), Object::StaticListEntry>);
static_assert(std::is_same_v<decltype(&Module_GetStaticList2_2_vn2), Object::StaticListEntry>);
