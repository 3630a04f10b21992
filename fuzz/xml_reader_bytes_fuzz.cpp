// The reader over the input's bytes through a strict decoder, as readFile reads
// a file (byte-order marks, the declaration's encoding switch): the bytes
// handed over whole and in small chunks must give the same tree or error.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "chunk_streams.h"
#include "io/text/decoder.h"
#include "object/manager.h"
#include "object/system.h"
#include "xml/reader.h"
#include "xml_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    static Ref<Xml::Reader> reader = Object::Create<Xml::Reader>(Xml::kReaderClsid);
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto read_in_chunks_of = [&](size_t chunk_size) {
        return Outcome([&] {
            return reader->readSource(Io::Text::CreateDecoder(SourceOf(bytes, chunk_size), true));
        });
    };
    if (read_in_chunks_of(0) != read_in_chunks_of(3)) {
        __builtin_trap();
    }
    return 0;
}
