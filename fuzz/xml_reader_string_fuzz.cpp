// The reader over the input as UTF-8 text: readString, and the same text from
// sources that cut it into small chunks, must agree on the tree or the error.
#include <cstddef>
#include <cstdint>
#include <string>

#include "error/error.h"
#include "object/impl.h"
#include "object/manager.h"
#include "object/system.h"
#include "xml/reader.h"

namespace {

class ChunkedSource final : public Object::Impl<ChunkedSource, Io::Text::Source> {
public:
    ChunkedSource(const BaseString& text, size_t chunk_length)
        : text_(text), chunk_length_(chunk_length) {}
    bool atEnd() override { return next_ == text_.length(); }
    BaseString read() override {
        BaseString chunk = text_.Substr(next_, chunk_length_);
        next_ += chunk.length();
        return chunk;
    }

private:
    BaseString text_;
    size_t chunk_length_;
    size_t next_ = 0;
};

// The tree in a form that two parses can be compared by.
void Describe(const Ref<Xml::Node>& node, std::u16string& out) {
    out += static_cast<char16_t>(u'0' + node->kind());
    out += node->value().view();
    if (Ref<Xml::Element> element = SoftCast<Xml::Element>(node)) {
        for (const BaseString& name : element->attributeNames()) {
            out += u'@';
            out += name.view();
            out += u'=';
            out += element->attribute(name).view();
        }
    }
    if (Ref<Xml::ParentNode> parent = SoftCast<Xml::ParentNode>(node)) {
        out += u'(';
        for (const Ref<Xml::Node>& child : parent->children()) {
            Describe(child, out);
        }
        out += u')';
    }
}

template <class Read>
std::u16string Outcome(Read read) {
    std::u16string out;
    try {
        Describe(read(), out);
    } catch (const Error& error) {
        out = u"error " + std::u16string(error.GetText().view());
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    static Ref<Xml::Reader> reader = Object::Create<Xml::Reader>(Xml::kReaderClsid);
    BaseString text = BaseString::FromUtf8({reinterpret_cast<const char*>(data), size});
    std::u16string whole = Outcome([&] { return reader->readString(text); });
    for (size_t chunk_length : {1, 7}) {
        std::u16string chunked = Outcome(
            [&] { return reader->readSource(Object::New<ChunkedSource>(text, chunk_length)); });
        if (chunked != whole) {
            __builtin_trap();
        }
    }
    return 0;
}
