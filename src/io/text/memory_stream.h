#pragma once

#include "io/text/stream.h"
#include "object/impl.h"

// Text held in one string, as a text source or a growing text sink.
namespace Io::Text::Memory {

// Delivers its whole text at the first read, then nothing.
class Source final : public Object::Impl<Source, Io::Text::Source> {
public:
    explicit Source(BaseString text) : text_(std::move(text)) {}

    bool atEnd() override { return delivered_; }
    BaseString read() override;

private:
    BaseString text_;
    bool delivered_ = false;
};

// Collects everything written; the owner takes the text afterwards.
class Sink final : public Object::Impl<Sink, Io::Text::Sink> {
public:
    void write(const BaseString& text) override { text_.Append(text.view()); }
    void terminate() override {}

    const BaseString& text() const { return text_; }

private:
    BaseString text_;
};

}  // namespace Io::Text::Memory
