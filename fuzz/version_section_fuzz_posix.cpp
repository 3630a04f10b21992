// The reader of a plug-in shared object's version strings: the input as a whole
// ELF file, whose version section is looked for and read, and as a section's
// own contents. The file is read only through the given reader, which must
// never be asked for bytes outside the file.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "input_reader.h"
#include "object/elf_section.h"
#include "object/version_section.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    return a == b;
}

void CheckStrings(std::string_view contents) {
    std::optional<Object::SectionVersionStrings> strings =
        Object::SectionVersionStrings::Parse(contents);
    if (!strings) {
        return;
    }
    bool has_class_factory = false;
    for (const Object::Translation& translation : strings->Translations()) {
        has_class_factory = has_class_factory ||
                            strings->Find(translation, u"InfraClassFactory") == BaseString(u"1");
    }
    if (Object::IsPluginLibrary(*strings, u"good.so", SameName)) {
        Check(has_class_factory);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ReadAt read = InputReader(data, size);
    std::optional<std::string> section = Object::ReadElfSection(
        read, size, Object::kVersionSectionName, Object::kMaxVersionSectionSize);
    if (section) {
        Check(section->size() <= Object::kMaxVersionSectionSize && section->size() <= size);
        CheckStrings(*section);
    }
    CheckStrings(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
