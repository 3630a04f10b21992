#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// What a Windows executable or DLL carries for Authenticode, as its headers
// tell: the certificate table that the security directory of its optional
// header points to. Whether the signature verifies is not looked at (that
// takes the certificates Windows trusts): the check tells of files that
// certainly count as unsigned.
enum class PeSignature {
    kNotAProgram,  // no PE headers: Windows neither starts nor loads it
    kUnsigned,     // no certificate table
    kDamaged,      // a table that lies outside the file or holds no PKCS#7 signature
    kSigned,       // a PKCS#7 signature (WIN_CERT_TYPE_PKCS_SIGNED_DATA)
};

// Copies `size` bytes of the file at `offset` into `out`; false when it
// cannot. It is asked only for bytes inside the file's size.
using ReadFileBytes = std::function<bool(uint64_t offset, void* out, size_t size)>;

// Reads the headers of a file of `file_size` bytes through `read`.
PeSignature ReadPeSignature(uint64_t file_size, const ReadFileBytes& read);
