#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "object/elf_section.h"

namespace Object {

// A symbol version an ELF file needs of a shared library it names, as the
// loader checks it when the file is loaded ("GLIBC_2.34" of "libc.so.6").
struct VersionNeed {
    std::string library;
    std::string version;

    bool operator==(const VersionNeed&) const = default;
};

// The version needs of an ELF file (its .gnu.version_r section, with the names
// in .dynstr), in the file's order. None when the file is not ELF or its needs
// do not hold together; empty when it needs no versions.
std::optional<std::vector<VersionNeed>> ReadElfVersionNeeds(const ReadAt& read, uint64_t file_size);

// The needs from the section's bytes and its string table, in the file's byte
// order (the reader above, and its fuzz target).
std::optional<std::vector<VersionNeed>> ParseVersionNeeds(std::string_view section,
                                                          std::string_view strings,
                                                          bool big_endian);

// The newest C library a file's needs ask for ("2.34" from "GLIBC_2.34"), or
// empty when it names none.
std::string NewestCLibraryVersion(const std::vector<VersionNeed>& needs);

// Orders dotted versions ("2.9" < "2.28" < "2.28.1"): negative, zero or positive.
int CompareDottedVersions(std::string_view a, std::string_view b);

}  // namespace Object
