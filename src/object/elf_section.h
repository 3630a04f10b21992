#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Object {

// Reads `size` bytes at `offset` of a file into `buffer`; false when it cannot.
using ReadAt = std::function<bool(uint64_t offset, void* buffer, size_t size)>;

// The reader of an open file descriptor, which stays the caller's.
ReadAt FileReadAt(int fd);

// The contents of the first section of that name in an ELF file (32- or 64-bit,
// either byte order) of `file_size` bytes. None when the file is not ELF, does
// not hold together, has no such section or only one without file contents, or
// when the section is larger than `max_size`.
std::optional<std::string> ReadElfSection(const ReadAt& read, uint64_t file_size,
                                          std::string_view name, size_t max_size);

}  // namespace Object
