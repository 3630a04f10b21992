// The creators of the text components, registered with the object manager.
#include "io/text/decoder_impl.h"
#include "io/text/encoder_impl.h"
#include "io/text/line_sink_impl.h"
#include "io/text/line_source_impl.h"
#include "object/service_factory.h"

namespace Io::Text {

class DecoderFactory final : public Object::ServiceFactory<DecoderFactory, Decoder::Creator> {
public:
    static constexpr const char16_t* kServiceClsids[] = {kDecoderCreatorClsid};

    Ref<Decoder> create(const Ref<Io::Source>& source, bool strict) override {
        return Object::New<DecoderImpl>(source, strict);
    }
};

class EncoderFactory final : public Object::ServiceFactory<EncoderFactory, Encoder::Creator> {
public:
    static constexpr const char16_t* kServiceClsids[] = {kEncoderCreatorClsid};

    Ref<Encoder> create(const Ref<Io::Sink>& sink, int32_t code_page, bool byte_order_mark,
                        bool strict) override {
        return Object::New<EncoderImpl>(sink, code_page, byte_order_mark, strict);
    }
};

class LineSourceFactory final
    : public Object::ServiceFactory<LineSourceFactory, LineSource::Creator> {
public:
    static constexpr const char16_t* kServiceClsids[] = {kLineSourceCreatorClsid};

    Ref<LineSource> create(const Ref<Source>& source, int32_t tab_width) override {
        return Object::New<LineSourceImpl>(source, tab_width);
    }
};

class LineSinkFactory final : public Object::ServiceFactory<LineSinkFactory, LineSink::Creator> {
public:
    static constexpr const char16_t* kServiceClsids[] = {kLineSinkCreatorClsid};

    Ref<LineSink> create(const Ref<Sink>& sink, int32_t line_end, int32_t tab_width) override {
        return Object::New<LineSinkImpl>(sink, line_end, tab_width);
    }
};

namespace {
Object::FactoryRegistration decoder_registration{Object::New<DecoderFactory>()};
Object::FactoryRegistration encoder_registration{Object::New<EncoderFactory>()};
Object::FactoryRegistration line_source_registration{Object::New<LineSourceFactory>()};
Object::FactoryRegistration line_sink_registration{Object::New<LineSinkFactory>()};
}  // namespace

}  // namespace Io::Text
