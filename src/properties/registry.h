#pragma once

#include <cstdint>

// The registry in the terms of the Win32 calls it stands for (RegOpenKeyExW,
// RegQueryValueExW, ...), so that the rules built on it are one piece of code
// on every target. Every call answers a Win32 error code, 0 for success. On
// Windows this is the registry itself (by default the 64-bit view, also from a
// 32-bit process under WOW64); on POSIX it is the hive store (hive_store.h).
namespace Registry {

struct KeyObject;
using Key = KeyObject*;  // an HKEY on Windows

inline constexpr uint32_t kTypeNone = 0;
inline constexpr uint32_t kTypeString = 1;  // REG_SZ
inline constexpr uint32_t kTypeExpandString = 2;
inline constexpr uint32_t kTypeBinary = 3;
inline constexpr uint32_t kTypeDword = 4;

inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorMoreData = 234;
inline constexpr uint32_t kErrorNoMoreItems = 259;
inline constexpr uint32_t kErrorKeyDeleted = 1018;

// HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER; never closed.
Key MachineRoot();
Key UserRoot();

// Which of the two registries of 64-bit Windows a key is opened in: the one
// 64-bit programs see, which the product's settings are in, or the one 32-bit
// programs see (KEY_WOW64_64KEY, KEY_WOW64_32KEY), where WOW64 keeps most of
// HKLM\SOFTWARE apart under WOW6432Node. 32-bit Windows and the hive store
// have one registry, which both views see.
enum class View { k64, k32 };

// RegOpenKeyExW for reading (KEY_READ).
uint32_t OpenKey(Key parent, const char16_t* subkey, Key* key, View view = View::k64);
// RegCreateKeyExW for reading and writing (KEY_READ, KEY_SET_VALUE,
// KEY_CREATE_SUB_KEY): opens the key, making it and its missing parents.
uint32_t CreateKey(Key parent, const char16_t* subkey, Key* key, View view = View::k64);
void CloseKey(Key key);

// RegQueryValueExW: with no data, *size receives the size; with too small a
// buffer, kErrorMoreData and the size needed. `type` may be null.
uint32_t QueryValue(Key key, const char16_t* name, uint32_t* type, uint8_t* data, uint32_t* size);
uint32_t SetValue(Key key, const char16_t* name, uint32_t type, const uint8_t* data, uint32_t size);
uint32_t DeleteValue(Key key, const char16_t* name);

// RegQueryInfoKeyW: the longest subkey name, the number of values and the
// longest value name, in characters. Any pointer may be null.
uint32_t QueryInfoKey(Key key, uint32_t* max_subkey_length, uint32_t* value_count,
                      uint32_t* max_value_name_length);
// RegEnumValueW and RegEnumKeyExW: *length is the buffer's size in characters
// on the way in, the name's length (without its zero) on the way out;
// kErrorNoMoreItems past the last one.
uint32_t EnumValue(Key key, uint32_t index, char16_t* name, uint32_t* length, uint32_t* type);
uint32_t EnumKey(Key key, uint32_t index, char16_t* name, uint32_t* length);

// RegDeleteKeyW (RegDeleteKeyExW with the view's flag where it has one):
// deletes a key that has no subkeys.
uint32_t DeleteKey(Key parent, const char16_t* subkey, View view = View::k64);

}  // namespace Registry
