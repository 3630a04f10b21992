#include "object/elf_section.h"

#include <unistd.h>

#include <cstring>
#include <vector>

namespace Object {

namespace {

constexpr uint16_t kExtendedIndex = 0xFFFF;  // SHN_XINDEX
constexpr uint32_t kNoBits = 8;              // SHT_NOBITS
// The section header table and the section names are read whole; a shared
// object needs far less.
constexpr uint64_t kMaxTableSize = 4 * 1024 * 1024;

// Fields of the ELF header and section headers in the file's class and byte order.
class Layout {
public:
    Layout(bool is64, bool big_endian) : is64_(is64), big_endian_(big_endian) {}

    size_t HeaderSize() const { return is64_ ? 64 : 52; }
    size_t SectionHeaderSize() const { return is64_ ? 64 : 40; }

    uint64_t SectionTableOffset(const uint8_t* header) const {
        return is64_ ? Get(header + 40, 8) : Get(header + 32, 4);
    }
    uint16_t SectionHeaderEntrySize(const uint8_t* header) const {
        return static_cast<uint16_t>(Get(header + (is64_ ? 58 : 46), 2));
    }
    uint16_t SectionCount(const uint8_t* header) const {
        return static_cast<uint16_t>(Get(header + (is64_ ? 60 : 48), 2));
    }
    uint16_t NamesIndex(const uint8_t* header) const {
        return static_cast<uint16_t>(Get(header + (is64_ ? 62 : 50), 2));
    }

    uint32_t Name(const uint8_t* section) const { return static_cast<uint32_t>(Get(section, 4)); }
    uint32_t Type(const uint8_t* section) const {
        return static_cast<uint32_t>(Get(section + 4, 4));
    }
    uint64_t Offset(const uint8_t* section) const {
        return is64_ ? Get(section + 24, 8) : Get(section + 16, 4);
    }
    uint64_t Size(const uint8_t* section) const {
        return is64_ ? Get(section + 32, 8) : Get(section + 20, 4);
    }
    uint32_t Link(const uint8_t* section) const {
        return static_cast<uint32_t>(Get(section + (is64_ ? 40 : 24), 4));
    }

private:
    uint64_t Get(const uint8_t* bytes, size_t size) const {
        uint64_t value = 0;
        for (size_t i = 0; i < size; ++i) {
            uint64_t byte = bytes[big_endian_ ? i : size - 1 - i];
            value = value << 8 | byte;
        }
        return value;
    }

    bool is64_;
    bool big_endian_;
};

// The bytes [offset, offset + size) of the file, when they lie inside it.
std::optional<std::string> ReadRange(const ReadAt& read, uint64_t file_size, uint64_t offset,
                                     uint64_t size) {
    if (offset > file_size || size > file_size - offset) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    if (size != 0 && !read(offset, bytes.data(), bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::optional<std::string> ReadElfSection(const ReadAt& read, uint64_t file_size,
                                          std::string_view name, size_t max_size) {
    std::optional<std::string> ident = ReadRange(read, file_size, 0, 16);
    if (!ident || std::memcmp(ident->data(),
                              "\x7f"
                              "ELF",
                              4) != 0) {
        return std::nullopt;
    }
    uint8_t elf_class = static_cast<uint8_t>((*ident)[4]);
    uint8_t data = static_cast<uint8_t>((*ident)[5]);
    if ((elf_class != 1 && elf_class != 2) || (data != 1 && data != 2)) {
        return std::nullopt;
    }
    Layout layout(elf_class == 2, data == 2);
    std::optional<std::string> header_bytes = ReadRange(read, file_size, 0, layout.HeaderSize());
    if (!header_bytes) {
        return std::nullopt;
    }
    const auto* header = reinterpret_cast<const uint8_t*>(header_bytes->data());
    uint64_t table_offset = layout.SectionTableOffset(header);
    size_t entry_size = layout.SectionHeaderEntrySize(header);
    if (table_offset == 0 || entry_size < layout.SectionHeaderSize()) {
        return std::nullopt;
    }

    // Section 0 carries the count and the names' index when they do not fit.
    std::optional<std::string> first = ReadRange(read, file_size, table_offset, entry_size);
    if (!first) {
        return std::nullopt;
    }
    const auto* first_section = reinterpret_cast<const uint8_t*>(first->data());
    uint64_t count = layout.SectionCount(header);
    if (count == 0) {
        count = layout.Size(first_section);
    }
    uint64_t names_index = layout.NamesIndex(header);
    if (names_index == kExtendedIndex) {
        names_index = layout.Link(first_section);
    }
    if (count == 0 || names_index >= count || count > kMaxTableSize / entry_size) {
        return std::nullopt;
    }
    std::optional<std::string> table = ReadRange(read, file_size, table_offset, count * entry_size);
    if (!table) {
        return std::nullopt;
    }
    auto section_at = [&](uint64_t index) {
        return reinterpret_cast<const uint8_t*>(table->data()) + index * entry_size;
    };

    const uint8_t* names_section = section_at(names_index);
    if (layout.Size(names_section) > kMaxTableSize) {
        return std::nullopt;
    }
    std::optional<std::string> names =
        ReadRange(read, file_size, layout.Offset(names_section), layout.Size(names_section));
    if (!names) {
        return std::nullopt;
    }
    for (uint64_t index = 1; index < count; ++index) {
        const uint8_t* section = section_at(index);
        uint32_t name_offset = layout.Name(section);
        if (name_offset >= names->size()) {
            continue;
        }
        std::string_view section_name = std::string_view(*names).substr(name_offset);
        size_t end = section_name.find('\0');
        if (end == std::string_view::npos || section_name.substr(0, end) != name) {
            continue;
        }
        if (layout.Type(section) == kNoBits || layout.Size(section) > max_size) {
            return std::nullopt;
        }
        return ReadRange(read, file_size, layout.Offset(section), layout.Size(section));
    }
    return std::nullopt;
}

ReadAt FileReadAt(int fd) {
    return [fd](uint64_t offset, void* buffer, size_t length) {
        return pread(fd, buffer, length, static_cast<off_t>(offset)) ==
               static_cast<ssize_t>(length);
    };
}

}  // namespace Object
