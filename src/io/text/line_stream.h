#pragma once

#include <cstdint>
#include <utility>

#include "io/text/stream.h"
#include "object/manager.h"

namespace Io::Text {

// How a line ends. A line sink writes kNone as CR LF.
enum LineEnd : int32_t {
    kLineFeed = 0,
    kCarriageReturnLineFeed = 1,
    kCarriageReturn = 2,
    kNone = 3
};

// The line and column of a reading or writing position. Columns count from 1
// and follow tab stops every tab width columns.
class Position : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Text::Position"};
    using Parent = BaseFace;

    // (line, column).
    virtual std::pair<int32_t, int32_t> position() = 0;
    // Both from 1; anything less is "text-line-badcolumn".
    virtual void setPosition(int32_t line, int32_t column) = 0;
    virtual int32_t tabWidth() = 0;
    // At least 1; anything less is "text-line-badcolumn".
    virtual void setTabWidth(int32_t width) = 0;
};

// Reads a text source line by line or character by character; every line end
// (LF, CR LF or CR) comes out as one line feed.
class LineSource : public FilteringSource {
public:
    // A line source answers the line sink's identifier; it has none of its
    // own.
    static constexpr Iid kIid{u"IID_Io::Text::LineSink"};
    using Parent = FilteringSource;

    // The next character, a line feed for a line end, 0 at the end.
    virtual char16_t readChar() = 0;
    // Gives back the character the last readChar delivered (or the line feed
    // of a given-back line end that read delivered again);
    // "text-line-noreadchar" when there is none.
    virtual void unreadChar() = 0;
    // The text read from the source and not yet delivered; the next read drops
    // it and goes on with the source. "text-line-nothingtoforget" when it was
    // handed over already and nothing was read since.
    virtual BaseString forget() = 0;
    // How the last line end read was written.
    virtual int32_t lineEnd() = 0;

    class Creator;
};

// Writes text to a text sink with every line end (LF, CR LF or CR) in one
// chosen form.
class LineSink : public FilteringSink {
public:
    static constexpr Iid kIid{u"IID_Io::Text::LineSink"};
    using Parent = FilteringSink;

    // The form of the line ends of later writes (a LineEnd; other values
    // write line ends as nothing).
    virtual void setLineEnd(int32_t line_end) = 0;

    class Creator;
};

class LineSource::Creator : public BaseFace {
public:
    // Both line creators answer this identifier.
    static constexpr Iid kIid{u"IID_Io::Text::LineSink::Creator"};
    using Parent = BaseFace;

    virtual Ref<LineSource> create(const Ref<Source>& source, int32_t tab_width) = 0;
};

class LineSink::Creator : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Text::LineSink::Creator"};
    using Parent = BaseFace;

    virtual Ref<LineSink> create(const Ref<Sink>& sink, int32_t line_end, int32_t tab_width) = 0;
};

inline constexpr char16_t kLineSourceCreatorClsid[] = u"CID_Io::Text::LineSource_Creator";
inline constexpr char16_t kLineSinkCreatorClsid[] = u"CID_Io::Text::LineSink_Creator";

inline Ref<LineSource> CreateLineSource(const Ref<Source>& source, int32_t tab_width) {
    return Object::Create<LineSource::Creator>(kLineSourceCreatorClsid)->create(source, tab_width);
}

inline Ref<LineSink> CreateLineSink(const Ref<Sink>& sink, int32_t line_end, int32_t tab_width) {
    return Object::Create<LineSink::Creator>(kLineSinkCreatorClsid)
        ->create(sink, line_end, tab_width);
}

}  // namespace Io::Text
