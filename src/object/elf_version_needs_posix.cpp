#include "object/elf_version_needs.h"

#include <cstdint>
#include <cstring>

namespace Object {

namespace {

// Elf32_Verneed and Elf64_Verneed, Elf32_Vernaux and Elf64_Vernaux: 16 bytes
// each in both classes.
constexpr size_t kEntrySize = 16;
// No real file needs more; a larger count is a broken file.
constexpr size_t kMaxNeeds = 4096;
constexpr size_t kMaxSectionSize = 1024 * 1024;

uint32_t Get(std::string_view bytes, size_t offset, size_t size, bool big_endian) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        auto byte = static_cast<uint8_t>(bytes[offset + (big_endian ? i : size - 1 - i)]);
        value = value << 8 | byte;
    }
    return value;
}

// The zero-terminated name at `offset` of the string table.
std::optional<std::string> NameAt(std::string_view strings, uint32_t offset) {
    if (offset >= strings.size()) {
        return std::nullopt;
    }
    std::string_view rest = strings.substr(offset);
    size_t end = rest.find('\0');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(rest.substr(0, end));
}

}  // namespace

std::optional<std::vector<VersionNeed>> ParseVersionNeeds(std::string_view section,
                                                          std::string_view strings,
                                                          bool big_endian) {
    std::vector<VersionNeed> needs;
    // Entries chain by offsets relative to the entry; each step moves forward,
    // so a broken chain ends instead of looping.
    size_t need = 0;
    while (!section.empty()) {
        if (section.size() < kEntrySize || need > section.size() - kEntrySize) {
            return std::nullopt;
        }
        uint32_t count = Get(section, need + 2, 2, big_endian);
        std::optional<std::string> library = NameAt(strings, Get(section, need + 4, 4, big_endian));
        uint32_t aux_offset = Get(section, need + 8, 4, big_endian);
        uint32_t next = Get(section, need + 12, 4, big_endian);
        if (!library || aux_offset < kEntrySize) {
            return std::nullopt;
        }
        size_t aux = need + aux_offset;
        for (uint32_t i = 0; i < count; ++i) {
            if (aux < need || aux > section.size() - kEntrySize || needs.size() >= kMaxNeeds) {
                return std::nullopt;
            }
            std::optional<std::string> version =
                NameAt(strings, Get(section, aux + 8, 4, big_endian));
            if (!version) {
                return std::nullopt;
            }
            needs.push_back({*library, *version});
            uint32_t aux_next = Get(section, aux + 12, 4, big_endian);
            if (i + 1 < count && aux_next < kEntrySize) {
                return std::nullopt;
            }
            aux += aux_next;
        }
        if (next == 0) {
            break;
        }
        if (next < kEntrySize || next > section.size() - need) {
            return std::nullopt;
        }
        need += next;
    }
    return needs;
}

std::optional<std::vector<VersionNeed>> ReadElfVersionNeeds(const ReadAt& read,
                                                            uint64_t file_size) {
    char ident[16];
    if (file_size < sizeof ident || !read(0, ident, sizeof ident) ||
        std::memcmp(ident,
                    "\x7f"
                    "ELF",
                    4) != 0 ||
        (ident[5] != 1 && ident[5] != 2)) {
        return std::nullopt;
    }
    std::optional<std::string> section =
        ReadElfSection(read, file_size, ".gnu.version_r", kMaxSectionSize);
    if (!section) {
        // No section of needs: a file that needs no versions, when it is ELF.
        if (!ReadElfSection(read, file_size, ".shstrtab", kMaxSectionSize)) {
            return std::nullopt;
        }
        return std::vector<VersionNeed>{};
    }
    std::optional<std::string> strings =
        ReadElfSection(read, file_size, ".dynstr", kMaxSectionSize);
    if (!strings) {
        return std::nullopt;
    }
    return ParseVersionNeeds(*section, *strings, ident[5] == 2);
}

std::string NewestCLibraryVersion(const std::vector<VersionNeed>& needs) {
    constexpr std::string_view kPrefix = "GLIBC_";
    std::string newest;
    for (const VersionNeed& need : needs) {
        std::string_view version = need.version;
        if (version.substr(0, kPrefix.size()) != kPrefix) {
            continue;
        }
        version.remove_prefix(kPrefix.size());
        // Versions are digits and dots; GLIBC_PRIVATE and the like are not.
        if (version.empty() || version.find_first_not_of("0123456789.") != std::string_view::npos) {
            continue;
        }
        if (newest.empty() || CompareDottedVersions(version, newest) > 0) {
            newest = version;
        }
    }
    return newest;
}

int CompareDottedVersions(std::string_view a, std::string_view b) {
    while (!a.empty() || !b.empty()) {
        auto take = [](std::string_view& text) {
            uint64_t number = 0;
            size_t i = 0;
            for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
                number = number < UINT32_MAX ? number * 10 + static_cast<uint64_t>(text[i] - '0')
                                             : number;
            }
            text.remove_prefix(i < text.size() ? i + 1 : i);
            return number;
        };
        uint64_t x = take(a);
        uint64_t y = take(b);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return 0;
}

}  // namespace Object
