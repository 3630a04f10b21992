#pragma once

#include "base/buffer.h"
#include "object/ref.h"

namespace Io {

// A source of bytes.
class Source : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Source"};
    using Parent = BaseFace;

    // True when no more bytes can come.
    virtual bool atEnd() = 0;
    // The next bytes; an empty buffer when nothing more came.
    virtual ByteBuffer read() = 0;
};

// Every byte a source still gives, until it reports its end or gives nothing.
ByteBuffer ReadAll(Source& source);

// A sink of bytes.
class Sink : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Sink"};
    using Parent = BaseFace;

    virtual void write(const ByteBuffer& bytes) = 0;
    // Ends the stream.
    virtual void terminate() = 0;
};

// A source that reads another source.
class FilteringSource : public Source {
public:
    static constexpr Iid kIid{u"IID_Io::FilteringSource"};
    using Parent = Source;

    // The inner source.
    virtual Ref<Source> source() = 0;
};

}  // namespace Io
