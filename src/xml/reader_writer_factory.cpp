#include "object/factory.h"
#include "object/manager.h"
#include "xml/node_handles.h"
#include "xml/parser.h"
#include "xml/reader.h"

namespace Xml {

namespace {

Ref<Document> Parse(Io::Text::Source* source, BaseString text) {
    Ref<Document> document = Object::Create<Document>(kDocumentClsid);
    ParseDocument(*RecordOf(document), source, std::move(text));
    return document;
}

}  // namespace

// The reader and the writer have no state: their factory is both of them
// ("CID_Xml::Reader", "CID_Xml::Writer").
class ReaderWriterFactory final
    : public Object::Impl<ReaderWriterFactory, Object::StaticFactory, Reader> {
public:
    Ref<BaseFace> CreateInstance(const BaseString& clsid, const Iid& iid) override {
        return Object::CreateByStaticFactory(*this, clsid, iid);
    }
    Ref<BaseFace> Create(const BaseString& clsid) override {
        return clsid == kReaderClsid ? Ref<BaseFace>::Share(PrimaryFace()) : nullptr;
    }
    void Describe(std::vector<Object::ClassRecord>& records) override {
        records.push_back({BaseString(kReaderClsid), InterfaceIds()});
    }

    Ref<Document> readString(const BaseString& text) override { return Parse(nullptr, text); }
    Ref<Document> readSource(const Ref<Io::Text::Source>& source) override {
        return Parse(source.get(), BaseString());
    }
};

namespace {
Object::FactoryRegistration registration{Object::New<ReaderWriterFactory>()};
}

}  // namespace Xml
