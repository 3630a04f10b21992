#pragma once

#include <cstdint>

#include "object/factory.h"

// What a plug-in library adds to the runtime's usual headers. A plug-in is built
// on the executable's runtime with orv_add_plugin (cmake/plugin.cmake): its
// author writes component classes and registers them with one line, as the
// executable's own components do,
//   static Object::FactoryRegistration registration{Object::ClassFactory<MyExtension>()};
// and may add start-up entries. orv_add_plugin adds the entry points below.
namespace Object {

// A static node of a plug-in library's start-up list (last constructed first):
// its function runs once after every load of the library, outside the library's
// inner lock (it may create the library's own classes), before the call that
// loaded the library goes on. An Error it throws reaches that call's caller and
// the entries after it do not run for that load.
//   static Object::LibraryStartup startup{&RegisterMyHandlers};
class LibraryStartup {
public:
    explicit LibraryStartup(void (*run)()) noexcept;
    LibraryStartup(const LibraryStartup&) = delete;
    LibraryStartup& operator=(const LibraryStartup&) = delete;

    static LibraryStartup* Head() noexcept;
    LibraryStartup* Next() const noexcept { return next_; }
    void Run() const { run_(); }

private:
    LibraryStartup* next_;
    void (*run_)();
};

// The entry points a plug-in library exports under these C names.
// The idle query: true when no object, Error or other holder of the library's
// module lock is left, and none has been for at least that many milliseconds.
inline constexpr char kIsUnlockedEntry[] = "Module_IsUnlocked_2_vn2";
using IsUnlockedEntry = bool (*)(uint32_t milliseconds);
// The lists: with kRegistrationList the head of the FactoryRegistration list;
// the second entry point also answers kStartupList with the head of the
// LibraryStartup list. Anything else answers null.
inline constexpr char kStaticListEntry[] = "Module_GetStaticList_2_vn2";
inline constexpr char kStaticList2Entry[] = "Module_GetStaticList2_2_vn2";
using StaticListEntry = void* (*)(int32_t reason);
inline constexpr int32_t kRegistrationList = 0;
inline constexpr int32_t kStartupList = 1;

}  // namespace Object
