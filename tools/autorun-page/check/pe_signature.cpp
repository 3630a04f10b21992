#include "check/pe_signature.h"

#include <array>

namespace {

// Offsets of the PE format, as Microsoft documents it for executables and DLLs.
constexpr uint64_t kHeaderOffsetAt = 0x3C;      // e_lfanew in the MS-DOS header
constexpr uint64_t kOptionalHeaderSizeAt = 20;  // from "PE\0\0": the file header's field
constexpr uint64_t kOptionalHeaderAt = 24;      // from "PE\0\0"
constexpr uint16_t kPe32 = 0x10B;               // optional header magic
constexpr uint16_t kPe32Plus = 0x20B;
constexpr uint64_t kSecurityDirectory = 4;      // index among the data directories
constexpr uint64_t kDirectorySize = 8;          // address and size
constexpr uint16_t kRevision1 = 0x0100;         // WIN_CERT_REVISION_1_0 (older signers)
constexpr uint16_t kRevision2 = 0x0200;         // WIN_CERT_REVISION_2_0
constexpr uint16_t kPkcsSignedData = 0x0002;    // WIN_CERT_TYPE_PKCS_SIGNED_DATA
constexpr uint64_t kCertificateHeaderSize = 8;  // dwLength, wRevision, wCertificateType
constexpr uint8_t kDerSequence = 0x30;          // the start of a PKCS#7 ContentInfo

class Reader {
public:
    Reader(uint64_t size, const ReadFileBytes& read) : size_(size), read_(read) {}

    // The little-endian number at `offset`; none past the end of the file.
    template <size_t N>
    bool Number(uint64_t offset, uint64_t& value) const {
        std::array<uint8_t, N> bytes{};
        if (offset > size_ || size_ - offset < N || !read_(offset, bytes.data(), N)) {
            return false;
        }
        value = 0;
        for (size_t i = N; i-- > 0;) {
            value = value << 8 | bytes[i];
        }
        return true;
    }

private:
    uint64_t size_;
    const ReadFileBytes& read_;
};

}  // namespace

PeSignature ReadPeSignature(uint64_t file_size, const ReadFileBytes& read) {
    Reader reader(file_size, read);
    uint64_t magic = 0, header = 0, signature = 0;
    if (!reader.Number<2>(0, magic) || magic != 0x5A4D /* "MZ" */ ||
        !reader.Number<4>(kHeaderOffsetAt, header) || !reader.Number<4>(header, signature) ||
        signature != 0x00004550 /* "PE\0\0" */) {
        return PeSignature::kNotAProgram;
    }
    uint64_t optional_size = 0, optional_magic = 0;
    uint64_t optional = header + kOptionalHeaderAt;
    if (!reader.Number<2>(header + kOptionalHeaderSizeAt, optional_size) ||
        !reader.Number<2>(optional, optional_magic) ||
        (optional_magic != kPe32 && optional_magic != kPe32Plus)) {
        return PeSignature::kNotAProgram;
    }
    // The count of data directories, and where they start, in either form.
    uint64_t count_at = optional_magic == kPe32 ? 92 : 108;
    uint64_t directories_at = count_at + 4;
    uint64_t count = 0;
    if (!reader.Number<4>(optional + count_at, count)) {
        return PeSignature::kNotAProgram;
    }
    // A header too short for the security directory has none.
    uint64_t directory_end = directories_at + (kSecurityDirectory + 1) * kDirectorySize;
    if (count <= kSecurityDirectory || optional_size < directory_end) {
        return PeSignature::kUnsigned;
    }
    uint64_t table = 0, table_size = 0;
    uint64_t directory = optional + directories_at + kSecurityDirectory * kDirectorySize;
    if (!reader.Number<4>(directory, table) || !reader.Number<4>(directory + 4, table_size)) {
        return PeSignature::kNotAProgram;
    }
    if (table_size == 0) {
        return PeSignature::kUnsigned;
    }
    // The table's address is a file offset (not a virtual address); its first
    // entry is the signature Windows checks.
    uint64_t length = 0, revision = 0, type = 0, first_byte = 0;
    if (table == 0 || table > file_size || file_size - table < table_size ||
        table_size < kCertificateHeaderSize + 1 || !reader.Number<4>(table, length) ||
        !reader.Number<2>(table + 4, revision) || !reader.Number<2>(table + 6, type) ||
        !reader.Number<1>(table + kCertificateHeaderSize, first_byte)) {
        return PeSignature::kDamaged;
    }
    if (length <= kCertificateHeaderSize || length > table_size ||
        (revision != kRevision1 && revision != kRevision2) || type != kPkcsSignedData ||
        first_byte != kDerSequence) {
        return PeSignature::kDamaged;
    }
    return PeSignature::kSigned;
}
