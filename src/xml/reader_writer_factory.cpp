#include "io/path.h"
#include "io/path_factory.h"
#include "io/text/decoder.h"
#include "io/text/encoder.h"
#include "io/text/encoding_name.h"
#include "io/text/memory_stream.h"
#include "object/manager.h"
#include "object/service_factory.h"
#include "xml/node_handles.h"
#include "xml/node_positions.h"
#include "xml/parser.h"
#include "xml/reader.h"
#include "xml/serializer.h"
#include "xml/writer.h"

namespace Xml {

namespace {

Ref<Document> Parse(Io::Text::Source* source, BaseString text, NodePositions* positions = nullptr) {
    Ref<Document> document = Object::Create<Document>(kDocumentClsid);
    ParseDocument(*RecordOf(document), source, std::move(text), positions);
    return document;
}

// The file's text through a strict decoder that honours a byte-order mark.
Ref<Io::Text::Decoder> OpenText(const BaseString& path) {
    Ref<Io::File> file = Io::Fs::PathFromName(path)->openFile(
        Io::Access::kRead, Io::Share::kRead, Io::kIfExistsOpen, Io::kIfMissingFail);
    return Io::Text::CreateDecoder(file->source(), true);
}

const DomNode& DocumentRecord(const Ref<Document>& document) {
    return Cast<NodeRecord>(document, "xml")->record();
}

// Bytes kept in memory until they are known to be complete.
class ByteCollector final : public Object::Impl<ByteCollector, Io::Sink> {
public:
    void write(const ByteBuffer& bytes) override { bytes_.Append(bytes.data(), bytes.size()); }
    void terminate() override {}

    const ByteBuffer& bytes() const { return bytes_; }

private:
    ByteBuffer bytes_;
};

}  // namespace

// The reader and the writer have no state: their factory is both of them
// ("CID_Xml::Reader", "CID_Xml::Writer").
class ReaderWriterFactory final
    : public Object::ServiceFactory<ReaderWriterFactory, Reader, Writer> {
public:
    static constexpr const char16_t* kServiceClsids[] = {kReaderClsid, kWriterClsid};

    Ref<Document> readString(const BaseString& text) override { return Parse(nullptr, text); }
    Ref<Document> readFile(const BaseString& path) override {
        return Parse(OpenText(path).get(), BaseString());
    }
    Ref<Document> readSource(const Ref<Io::Text::Source>& source) override {
        return Parse(source.get(), BaseString());
    }

    BaseString writeString(const Ref<Document>& document) override {
        Ref<Io::Text::Memory::Sink> sink = Object::New<Io::Text::Memory::Sink>();
        WriteDocument(DocumentRecord(document), u"utf-8", *sink);
        sink->terminate();
        return sink->text();
    }
    // The whole text is encoded before the file is opened: a document that
    // cannot be written leaves an existing file as it was.
    void writeFile(const Ref<Document>& document, const BaseString& path) override {
        Ref<ByteCollector> bytes = Object::New<ByteCollector>();
        Ref<Io::Text::Encoder> encoder = Io::Text::CreateEncoder(bytes, 65001, false, true);
        encoder->write(writeString(document));
        encoder->terminate();
        Ref<Io::File> file = Io::Fs::PathFromName(path)->openFile(
            Io::Access::kWrite, Io::Share::kRead, Io::kIfExistsTruncate, Io::kIfMissingCreate);
        Ref<Io::Sink> sink = file->sink();
        sink->write(bytes->bytes());
        sink->terminate();
    }
    void writeSink(const Ref<Document>& document, const Ref<Io::Text::Sink>& sink) override {
        std::u16string_view encoding = u"utf-8";
        if (Ref<Io::Text::Encoder> encoder = SoftCast<Io::Text::Encoder>(sink)) {
            encoding = Io::Text::EncodingNameOfCodePage(encoder->codePage());
            if (encoding.empty()) {
                throw Error::Internal("xml-writer-notsupp-enc", "xml");
            }
        }
        WriteDocument(DocumentRecord(document), encoding, *sink);
    }
};

namespace {
Object::FactoryRegistration registration{Object::New<ReaderWriterFactory>()};
}

Ref<Document> ReadFileNotingPositions(const BaseString& path, NodePositions& positions) {
    return Parse(OpenText(path).get(), BaseString(), &positions);
}

Ref<Document> ReadStringNotingPositions(const BaseString& text, NodePositions& positions) {
    return Parse(nullptr, text, &positions);
}

}  // namespace Xml
