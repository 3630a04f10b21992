// The page tool's reader of a Windows file's signature table over random
// files: it never asks for bytes outside the file, and gives the same answer
// twice.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "check/pe_signature.h"
#include "input_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadFileBytes read = InputReader(data, size);
    PeSignature first = ReadPeSignature(size, read);
    if (ReadPeSignature(size, read) != first) {
        std::abort();
    }
    // A reader that fails takes nothing for a signature.
    PeSignature unread = ReadPeSignature(size, [](uint64_t, void*, size_t) { return false; });
    if (unread != PeSignature::kNotAProgram) {
        std::abort();
    }
    return 0;
}
