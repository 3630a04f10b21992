#include "properties/registry.h"

#include "base/win.h"

namespace Registry {

namespace {

HKEY Native(Key key) {
    return reinterpret_cast<HKEY>(key);
}

const wchar_t* Wide(const char16_t* text) {
    return WidePtr(text);
}

// Whether this is a 32-bit process under WOW64. IsWow64Process is looked up at
// run time.
bool IsWow64() {
    static const bool wow64 = [] {
        using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
        auto is_wow64 = reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"KERNEL32"), "IsWow64Process")));
        BOOL result = FALSE;
        return is_wow64 && is_wow64(::GetCurrentProcess(), &result) && result;
    }();
    return wow64;
}

// The flag that opens a key in the view, where the system has two registries
// and the process's own is the other; 0 where the view is the process's own.
REGSAM ViewFlag(View view) {
    constexpr bool k64BitProcess = sizeof(void*) == 8;
    switch (view) {
        case View::k64:
            return IsWow64() ? KEY_WOW64_64KEY : 0;
        case View::k32:
            return k64BitProcess ? KEY_WOW64_32KEY : 0;
    }
    return 0;
}

}  // namespace

Key MachineRoot() {
    return reinterpret_cast<Key>(HKEY_LOCAL_MACHINE);
}

Key UserRoot() {
    return reinterpret_cast<Key>(HKEY_CURRENT_USER);
}

uint32_t OpenKey(Key parent, const char16_t* subkey, Key* key, View view) {
    HKEY opened = nullptr;
    LSTATUS result =
        ::RegOpenKeyExW(Native(parent), Wide(subkey), 0, KEY_READ | ViewFlag(view), &opened);
    if (result == ERROR_SUCCESS) {
        *key = reinterpret_cast<Key>(opened);
    }
    return static_cast<uint32_t>(result);
}

uint32_t CreateKey(Key parent, const char16_t* subkey, Key* key, View view) {
    HKEY created = nullptr;
    LSTATUS result = ::RegCreateKeyExW(
        Native(parent), Wide(subkey), 0, nullptr, REG_OPTION_NON_VOLATILE,
        KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | ViewFlag(view), nullptr, &created, nullptr);
    if (result == ERROR_SUCCESS) {
        *key = reinterpret_cast<Key>(created);
    }
    return static_cast<uint32_t>(result);
}

void CloseKey(Key key) {
    ::RegCloseKey(Native(key));
}

uint32_t QueryValue(Key key, const char16_t* name, uint32_t* type, uint8_t* data, uint32_t* size) {
    DWORD value_type = 0;
    DWORD value_size = *size;
    LSTATUS result =
        ::RegQueryValueExW(Native(key), Wide(name), nullptr, &value_type, data, &value_size);
    if (type) {
        *type = value_type;
    }
    *size = value_size;
    return static_cast<uint32_t>(result);
}

uint32_t SetValue(Key key, const char16_t* name, uint32_t type, const uint8_t* data,
                  uint32_t size) {
    return static_cast<uint32_t>(::RegSetValueExW(Native(key), Wide(name), 0, type, data, size));
}

uint32_t DeleteValue(Key key, const char16_t* name) {
    return static_cast<uint32_t>(::RegDeleteValueW(Native(key), Wide(name)));
}

uint32_t QueryInfoKey(Key key, uint32_t* max_subkey_length, uint32_t* value_count,
                      uint32_t* max_value_name_length) {
    DWORD subkey_length = 0;
    DWORD values = 0;
    DWORD value_name_length = 0;
    LSTATUS result =
        ::RegQueryInfoKeyW(Native(key), nullptr, nullptr, nullptr, nullptr, &subkey_length, nullptr,
                           &values, &value_name_length, nullptr, nullptr, nullptr);
    if (max_subkey_length) {
        *max_subkey_length = subkey_length;
    }
    if (value_count) {
        *value_count = values;
    }
    if (max_value_name_length) {
        *max_value_name_length = value_name_length;
    }
    return static_cast<uint32_t>(result);
}

uint32_t EnumValue(Key key, uint32_t index, char16_t* name, uint32_t* length, uint32_t* type) {
    DWORD name_length = *length;
    DWORD value_type = 0;
    LSTATUS result = ::RegEnumValueW(Native(key), index, WidePtr(name), &name_length, nullptr,
                                     &value_type, nullptr, nullptr);
    if (result == ERROR_SUCCESS) {
        *length = name_length;
        if (type) {
            *type = value_type;
        }
    }
    return static_cast<uint32_t>(result);
}

uint32_t EnumKey(Key key, uint32_t index, char16_t* name, uint32_t* length) {
    DWORD name_length = *length;
    LSTATUS result = ::RegEnumKeyExW(Native(key), index, WidePtr(name), &name_length, nullptr,
                                     nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) {
        *length = name_length;
    }
    return static_cast<uint32_t>(result);
}

uint32_t DeleteKey(Key parent, const char16_t* subkey, View which) {
    REGSAM view = ViewFlag(which);
    if (view == 0) {
        return static_cast<uint32_t>(::RegDeleteKeyW(Native(parent), Wide(subkey)));
    }
    // RegDeleteKeyExW exists only where WOW64 does, so it is looked up at run time.
    using RegDeleteKeyExFunction = LSTATUS(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
    static const auto delete_key_ex =
        reinterpret_cast<RegDeleteKeyExFunction>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"ADVAPI32"), "RegDeleteKeyExW")));
    if (!delete_key_ex) {
        return ERROR_PROC_NOT_FOUND;
    }
    return static_cast<uint32_t>(delete_key_ex(Native(parent), Wide(subkey), view, 0));
}

}  // namespace Registry
