// The reader over the input as UTF-8 text: readString, and the same text from
// sources that cut it into small chunks, must agree on the tree or the error.
#include <cstddef>
#include <cstdint>

#include "chunk_streams.h"
#include "object/manager.h"
#include "object/system.h"
#include "xml/reader.h"
#include "xml_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    static Ref<Xml::Reader> reader = Object::Create<Xml::Reader>(Xml::kReaderClsid);
    BaseString text = BaseString::FromUtf8({reinterpret_cast<const char*>(data), size});
    std::u16string whole = Outcome([&] { return reader->readString(text); });
    for (size_t chunk_size : {1, 7}) {
        if (Outcome([&] { return reader->readSource(TextSourceOf(text, chunk_size)); }) != whole) {
            __builtin_trap();
        }
    }
    return 0;
}
