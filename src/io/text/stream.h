#pragma once

#include "base/string.h"
#include "object/ref.h"

namespace Io::Text {

// A source of wide text.
class Source : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Text::Source"};
    using Parent = BaseFace;

    virtual bool atEnd() = 0;
    // The next text; an empty string means nothing more.
    virtual BaseString read() = 0;
};

// A sink of wide text.
class Sink : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Text::Sink"};
    using Parent = BaseFace;

    virtual void write(const BaseString& text) = 0;
    // Ends the stream.
    virtual void terminate() = 0;
};

// A text source that reads another text source.
class FilteringSource : public Source {
public:
    static constexpr Iid kIid{u"IID_Io::Text::FilteringSource"};
    using Parent = Source;

    // The wrapped source.
    virtual Ref<Source> source() = 0;
};

// A text sink that writes to another text sink.
class FilteringSink : public Sink {
public:
    static constexpr Iid kIid{u"IID_Io::Text::FilteringSink"};
    using Parent = Sink;

    // The wrapped sink.
    virtual Ref<Sink> sink() = 0;
};

}  // namespace Io::Text
