#pragma once

#include <cstdint>

#include "base/buffer.h"
#include "base/flag_set.h"
#include "io/stream.h"
#include "object/ref.h"

namespace Io {

// The access given when a file is opened: read, write, both or none.
enum class Access : uint32_t { kNone = 0, kRead = 1, kWrite = 2 };
ORV_FLAG_SET_OPERATORS(Access)

// Something whose data can be read and written through byte streams.
class DataAccessor : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::DataAccessor"};
    using Parent = BaseFace;

    // The access given at opening.
    virtual Access access() = 0;
    // A new source from offset 0 to the size at this moment ("source-on-nonrfile"
    // without read access).
    virtual Ref<Io::Source> source() = 0;
    // A new sink at offset 0 ("sink-on-nonwfile" without write access).
    virtual Ref<Io::Sink> sink() = 0;
};

// An open file. Every operation below holds the file's lock for the whole call,
// so calls from several threads do not interleave.
class File : public DataAccessor {
public:
    static constexpr Iid kIid{u"IID_Io::File"};
    using Parent = DataAccessor;

    class Source;
    class Sink;

    // The largest count one read returns.
    static constexpr uint32_t kMaxReadSize = 65536;

    virtual uint64_t size() = 0;
    // Moves the end of the file.
    virtual void setSize(uint64_t size) = 0;
    // At most min(count, kMaxReadSize) bytes from the offset; fewer (none at the
    // end of the file) are not an error.
    virtual ByteBuffer read(uint64_t offset, uint32_t count) = 0;
    // Writes all the bytes at the offset.
    virtual void write(uint64_t offset, const ByteBuffer& bytes) = 0;
    // Writes the platform's buffers through.
    virtual void flush() = 0;
};

// A byte source over a file, with its own position.
class File::Source : public Io::Source {
public:
    static constexpr Iid kIid{u"IID_Io::File::Source"};
    using Parent = Io::Source;
};

// A byte sink into a file, with its own position; terminate flushes the file.
class File::Sink : public Io::Sink {
public:
    static constexpr Iid kIid{u"IID_Io::File::Sink"};
    using Parent = Io::Sink;
};

}  // namespace Io
