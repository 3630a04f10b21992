#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One registry hive in memory, and its text form: the "Windows Registry Editor
// Version 5.00" .reg format, so that a hive file can be read and written by
// hand and imported on Windows. Key and value names keep the case they were
// made with and are compared without regard to case, as the registry does.
namespace Registry {

enum class Hive { kMachine, kUser };

struct HiveValue {
    std::u16string name;  // empty for the key's default value ("@")
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

struct HiveKey {
    std::u16string name;
    std::vector<HiveValue> values;  // in the order they were made
    std::vector<std::unique_ptr<HiveKey>> subkeys;

    HiveKey* FindSubkey(std::u16string_view name) const;
    const HiveValue* FindValue(std::u16string_view name) const;
    HiveValue* FindValue(std::u16string_view name);
    // The subkey, made (at the end of the list) when missing.
    HiveKey& Subkey(std::u16string_view name);
};

// "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER".
std::u16string_view HiveName(Hive hive);

// Ordinal comparison after simple upper-casing of each code unit (ASCII,
// Latin-1, Latin Extended-A, Greek and Cyrillic), as far as the registry's
// own rule matters for the names this system uses.
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);

// False when a name cannot stand in a .reg file: a key name with a control
// character or a "\", a value name with a line break.
bool IsValidKeyName(std::u16string_view name);
bool IsValidValueName(std::u16string_view name);

// Parses a hive file's bytes (UTF-16LE with its byte-order mark, as regedit
// writes it, or UTF-8). Every key must lie in `hive`. False for anything that
// is not a well-formed hive: a missing header, a bad line, a value outside a
// key, the same value twice in one key, import-only syntax ("-" deletions).
bool ParseHive(std::string_view bytes, Hive hive, HiveKey* root);

// The file form of a hive: UTF-16LE with a byte-order mark and CRLF line ends.
std::string WriteHive(const HiveKey& root, Hive hive);

}  // namespace Registry
