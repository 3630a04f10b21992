#include "object/dll.h"

#include "base/format.h"

namespace Object {

namespace {

template <class Function>
Function As(void (*entry)()) {
    return reinterpret_cast<Function>(entry);
}

}  // namespace

Dll::Dll(void* handle)
    : handle_(handle),
      is_unlocked_(As<IsUnlockedEntry>(Entry(kIsUnlockedEntry))),
      static_list_(As<StaticListEntry>(Entry(kStaticListEntry))),
      static_list2_(As<StaticListEntry>(Entry(kStaticList2Entry))) {}

FactoryRegistration* Dll::Registrations() const {
    StaticListEntry list = static_list_ ? static_list_ : static_list2_;
    return static_cast<FactoryRegistration*>(list(kRegistrationList));
}

LibraryStartup* Dll::StartupEntries() const {
    return static_list2_ ? static_cast<LibraryStartup*>(static_list2_(kStartupList)) : nullptr;
}

BaseString FileStamp(const BaseString& path) {
    std::optional<uint64_t> time = LastWriteTime(path);
    if (!time) {
        return {};
    }
    return Base::Format("%08x%08x", static_cast<uint32_t>(*time),
                        static_cast<uint32_t>(*time >> 32));
}

}  // namespace Object
