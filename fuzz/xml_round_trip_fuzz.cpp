// Write then read: every document the reader accepts from the input (as UTF-8
// text) is written, and reading that back must give the same tree once
// adjacent texts are merged; writing it again must give the same text. The
// reader takes "]" in threes inside CDATA, so it accepts sections holding
// "]]>", which the writer refuses; that refusal is the only one allowed.
#include <cstddef>
#include <cstdint>

#include "object/manager.h"
#include "object/system.h"
#include "xml/reader.h"
#include "xml/writer.h"
#include "xml_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    static Ref<Xml::Reader> reader = Object::Create<Xml::Reader>(Xml::kReaderClsid);
    static Ref<Xml::Writer> writer = Object::Create<Xml::Writer>(Xml::kWriterClsid);
    Ref<Xml::Document> document;
    try {
        document =
            reader->readString(BaseString::FromUtf8({reinterpret_cast<const char*>(data), size}));
    } catch (const Error&) {
        return 0;
    }
    BaseString written;
    try {
        written = writer->writeString(document);
    } catch (const Error& error) {
        if (error.GetText().Find(u"xml-writer-cdata") == BaseString::npos) {
            __builtin_trap();
        }
        return 0;
    }
    document->rootElement()->normalize(Xml::kMergeTexts);
    Ref<Xml::Document> again = reader->readString(written);
    if (Outcome([&] { return again; }) != Outcome([&] { return document; }) ||
        writer->writeString(again) != written) {
        __builtin_trap();
    }
    return 0;
}
