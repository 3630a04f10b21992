#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "base/string.h"
#include "object/factory.h"
#include "object/plugin.h"

namespace Object {

// A loaded plug-in library file and its entry points; destroying it unloads the
// file unless it is to stay loaded.
class Dll {
public:
    // Takes over a loaded module (an HMODULE or a dlopen handle) and looks up its
    // entry points.
    explicit Dll(void* handle);
    ~Dll();
    Dll(const Dll&) = delete;
    Dll& operator=(const Dll&) = delete;

    // The idle query and at least one list entry point are there.
    bool HasEntryPoints() const { return is_unlocked_ && (static_list_ || static_list2_); }

    bool IsUnlocked(uint32_t milliseconds) const { return is_unlocked_(milliseconds); }
    // Leaves the file loaded for the rest of the process when this goes.
    void KeepLoaded() { keep_loaded_ = true; }
    FactoryRegistration* Registrations() const;
    // None when the library exports only the first list entry point.
    LibraryStartup* StartupEntries() const;

private:
    // The exported function of that name, null when there is none.
    void (*Entry(const char* name) const)();

    void* handle_;
    IsUnlockedEntry is_unlocked_;
    StaticListEntry static_list_;
    StaticListEntry static_list2_;
    bool keep_loaded_ = false;
};

struct DllLoad {
    std::unique_ptr<Dll> dll;
    // True when another attempt would end the same way: the file is not a
    // plug-in library (its version strings, its entry points), or it was loaded.
    bool definitive;
};

// Loads a plug-in library file: checks its version strings before loading it,
// loads it, makes sure the module loaded is the file that was checked, and finds
// its entry points.
DllLoad LoadDll(const BaseString& path);

// The file's last-write time as a 64-bit file time in "%08x%08x" (low half,
// then high half); "" when there is no file.
BaseString FileStamp(const BaseString& path);

// The file's last-write time as a 64-bit file time (100 ns since 1601); none
// when there is no file.
std::optional<uint64_t> LastWriteTime(const BaseString& path);

}  // namespace Object
