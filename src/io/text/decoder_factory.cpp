#include "io/text/decoder_impl.h"
#include "object/factory.h"

namespace Io::Text {

// The decoder creator: one stateless object, its own factory.
class DecoderFactory final
    : public Object::Impl<DecoderFactory, Object::StaticFactory, Decoder::Creator> {
public:
    Ref<BaseFace> CreateInstance(const BaseString& clsid, const Iid& iid) override {
        return Object::CreateByStaticFactory(*this, clsid, iid);
    }
    Ref<BaseFace> Create(const BaseString& clsid) override {
        return clsid == kDecoderCreatorClsid ? Ref<BaseFace>::Share(PrimaryFace()) : nullptr;
    }
    void Describe(std::vector<Object::ClassRecord>& records) override {
        records.push_back({BaseString(kDecoderCreatorClsid), InterfaceIds()});
    }

    Ref<Decoder> create(const Ref<Io::Source>& source, bool strict) override {
        return Object::New<DecoderImpl>(source, strict);
    }
};

namespace {
Object::FactoryRegistration registration{Object::New<DecoderFactory>()};
}

}  // namespace Io::Text
