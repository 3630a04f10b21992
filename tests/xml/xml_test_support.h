#pragma once

#include <functional>
#include <string>

#include "io/text/stream.h"
#include "object/impl.h"
#include "object/ref.h"
#include "xml/node.h"

// A compact picture of a tree: an element is its name, then its attributes in
// brackets and its children in parentheses, as in a[k=v](...); a text is "x", a
// CDATA section and a comment are written as in XML. A document shows its
// children.
std::string Dump(const Ref<Xml::Node>& node);

// The tag of the internal error the call throws under the module tag "xml", as
// in "xml-domnode-err"; "no error" when it returns, the whole text otherwise.
std::string XmlErrorTag(const std::function<void()>& call);

Ref<Xml::Document> NewDocument();

// A text source that hands its text out in chunks of a fixed length, so that
// every construct of the reader gets cut at every place.
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
