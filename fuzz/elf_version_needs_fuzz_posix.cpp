// The reader of the symbol versions an ELF file needs: the input as a whole
// file, read only through the given reader, which must never be asked for
// bytes outside it; and, after a first byte 'S' and a two-byte length, as a
// section of needs and its string table, in either byte order.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "input_reader.h"
#include "object/elf_version_needs.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckNeeds(const std::optional<std::vector<Object::VersionNeed>>& needs, size_t size) {
    if (!needs) {
        return;
    }
    // Every need is a name of the input's string table.
    Check(needs->size() <= size);
    std::string newest = Object::NewestCLibraryVersion(*needs);
    for (const Object::VersionNeed& need : *needs) {
        Check(need.library.size() < size && need.version.size() < size);
        if (!newest.empty() && need.version.starts_with("GLIBC_") &&
            need.version.find_first_not_of("0123456789.", 6) == std::string::npos &&
            need.version.size() > 6) {
            Check(Object::CompareDottedVersions(need.version.substr(6), newest) <= 0);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ReadAt read = InputReader(data, size);
    CheckNeeds(Object::ReadElfVersionNeeds(read, size), size);
    if (size >= 3 && data[0] == 'S') {
        std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
        size_t length = std::min<size_t>(rest.size(), data[1] | data[2] << 8);
        for (bool big_endian : {false, true}) {
            CheckNeeds(
                Object::ParseVersionNeeds(rest.substr(0, length), rest.substr(length), big_endian),
                size);
        }
    }
    return 0;
}
