// The medium's Windows programs and DLLs without an Authenticode signature:
// what Smart App Control and SmartScreen do with them, told before the medium
// is burnt. Warnings only: a medium for Linux alone carries none.
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "base/ascii_case.h"
#include "check/checks.h"
#include "check/pe_signature.h"

namespace {

// A finding about a whole file names no line.
constexpr Xml::TextPosition kWholeFile{0, 0};

constexpr char16_t kSignIt[] = u"; sign it with an RSA certificate and a time stamp";

bool HasSuffix(const std::filesystem::path& file, std::u16string_view suffix) {
    return Base::EqualsIgnoringAsciiCase(file.extension().u16string(), suffix);
}

// The file's signature; none when the file cannot be read.
std::optional<PeSignature> ReadFileSignature(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::error_code error;
    uintmax_t size = std::filesystem::file_size(file, error);
    if (!in || error) {
        return std::nullopt;
    }
    return ReadPeSignature(size, [&in](uint64_t offset, void* out, size_t count) {
        in.clear();
        in.seekg(static_cast<std::streamoff>(offset));
        in.read(static_cast<char*>(out), static_cast<std::streamsize>(count));
        return static_cast<size_t>(in.gcount()) == count;
    });
}

// What Windows does with a program (`dll` false) or a DLL that carries no
// signature it takes.
BaseString Consequence(bool dll) {
    if (dll) {
        return BaseString(
                   u"where Smart App Control is on (Windows 11), Windows refuses to load it unless "
                   u"Microsoft's cloud service knows the file, and the program that uses it "
                   u"fails") +
               kSignIt;
    }
    return BaseString(
               u"where Smart App Control is on (Windows 11), Windows refuses to start it unless "
               u"Microsoft's cloud service knows the file; started from a downloaded image, "
               u"SmartScreen first warns of an unknown publisher (\"Windows protected your PC\")") +
           kSignIt;
}

}  // namespace

void CheckSignatures(Findings& findings) {
    std::error_code error;
    std::filesystem::recursive_directory_iterator entries(
        ".", std::filesystem::directory_options::skip_permission_denied, error);
    for (; !error && entries != std::filesystem::recursive_directory_iterator();
         entries.increment(error)) {
        const std::filesystem::path& path = entries->path();
        bool dll = HasSuffix(path, u".dll");
        std::error_code not_regular;
        if ((!dll && !HasSuffix(path, u".exe")) || !entries->is_regular_file(not_regular)) {
            continue;
        }
        BaseString name = BaseString::FromUtf8(
            reinterpret_cast<const char*>(path.lexically_relative(".").generic_u8string().c_str()));
        std::optional<PeSignature> signature = ReadFileSignature(path);
        if (!signature) {
            findings.Warning(name.view(), kWholeFile,
                             BaseString(u"cannot be read: whether it is signed is not known"));
            continue;
        }
        switch (*signature) {
            case PeSignature::kNotAProgram:
                findings.Warning(name.view(), kWholeFile,
                                 BaseString(u"not a Windows program (no PE headers): Windows "
                                            u"neither starts nor loads it"));
                break;
            case PeSignature::kUnsigned:
                findings.Warning(name.view(), kWholeFile,
                                 u"no Authenticode signature: " + Consequence(dll).view());
                break;
            case PeSignature::kDamaged:
                findings.Warning(name.view(), kWholeFile,
                                 u"its Authenticode signature is damaged (the certificate table "
                                 u"its header names lies outside the file or holds no PKCS#7 "
                                 u"signature), so Windows takes it as unsigned: " +
                                     Consequence(dll).view());
                break;
            case PeSignature::kSigned:
                break;
        }
    }
}
