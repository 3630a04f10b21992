#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chunk_streams.h"
#include "io/text/line_stream.h"
#include "io/text/memory_stream.h"
#include "test_support.h"

namespace {

using Io::Text::LineSink;
using Io::Text::LineSource;
using Io::Text::Position;

Ref<LineSource> LinesOf(std::vector<std::u16string> chunks, int32_t tab_width = 8) {
    return Io::Text::CreateLineSource(Object::New<TextChunkSource>(std::move(chunks)), tab_width);
}

std::pair<int32_t, int32_t> PositionOf(const Ref<LineSource>& lines) {
    return Cast<Position>(lines, "text")->position();
}

void ExpectTextError(const std::function<void()>& call, const char16_t* tag) {
    ScopedLanguage english(0x0409);
    try {
        call();
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.GetText(), BaseString(u"An internal error occurred (text: ") + tag + u").");
    }
}

TEST(LineSource, ReadsLinesWithEveryKindOfLineEnd) {
    // The same text cut at every place, CR LF across chunks included.
    const std::u16string text = u"a\r\nb\rc\nd";
    for (size_t cut = 1; cut <= text.size(); ++cut) {
        Ref<LineSource> lines = LinesOf({text.substr(0, cut), text.substr(cut)});
        EXPECT_EQ(lines->read(), u"a\n") << cut;
        EXPECT_EQ(lines->lineEnd(), Io::Text::kCarriageReturnLineFeed) << cut;
        EXPECT_EQ(lines->read(), u"b\n") << cut;
        EXPECT_EQ(lines->lineEnd(), Io::Text::kCarriageReturn) << cut;
        EXPECT_EQ(lines->read(), u"c\n") << cut;
        EXPECT_EQ(lines->lineEnd(), Io::Text::kLineFeed) << cut;
        EXPECT_EQ(lines->read(), u"d") << cut;
        EXPECT_EQ(lines->read(), u"") << cut;
        EXPECT_TRUE(lines->atEnd()) << cut;
        EXPECT_EQ(PositionOf(lines), std::make_pair(4, 2)) << cut;
    }
}

TEST(LineSource, ReadsCharactersAcrossChunks) {
    Ref<LineSource> lines = LinesOf({u"a\r", u"\nb\r", u"c"});
    std::u16string read;
    for (char16_t c = lines->readChar(); c != 0; c = lines->readChar()) {
        read += c;
    }
    EXPECT_EQ(read, u"a\nb\nc");
    EXPECT_EQ(lines->lineEnd(), Io::Text::kCarriageReturn);
    EXPECT_EQ(PositionOf(lines), std::make_pair(3, 2));
    EXPECT_EQ(lines->readChar(), 0);
}

TEST(LineSource, ColumnsFollowTabStops) {
    struct Case {
        int32_t tab_width;
        const char16_t* text;
        int32_t column;
    } cases[] = {
        {4, u"\tx", 6}, {8, u"\t", 9}, {8, u"abc\t", 9}, {8, u"abcdefgh\t", 17}, {1, u"\t\t", 3},
    };
    for (const Case& c : cases) {
        Ref<LineSource> lines = LinesOf({c.text}, c.tab_width);
        lines->read();
        EXPECT_EQ(PositionOf(lines).second, c.column) << Utf8(BaseString(c.text));
    }
}

TEST(LineSource, GivesBackOneCharacter) {
    Ref<LineSource> lines = LinesOf({u"ab"});
    EXPECT_EQ(lines->readChar(), u'a');
    EXPECT_EQ(lines->readChar(), u'b');
    lines->unreadChar();
    EXPECT_EQ(PositionOf(lines), std::make_pair(1, 2));
    ExpectTextError([&] { lines->unreadChar(); }, u"text-line-noreadchar");
    EXPECT_EQ(lines->readChar(), u'b');
    EXPECT_EQ(lines->readChar(), 0);
    ExpectTextError([&] { lines->unreadChar(); }, u"text-line-noreadchar");

    Ref<LineSource> after_read = LinesOf({u"ab\ncd"});
    after_read->read();
    ExpectTextError([&] { after_read->unreadChar(); }, u"text-line-noreadchar");
}

TEST(LineSource, GivesBackALineEnd) {
    Ref<LineSource> lines = LinesOf({u"a\r", u"\nb\rc"});
    EXPECT_EQ(lines->readChar(), u'a');
    EXPECT_EQ(lines->readChar(), u'\n');
    EXPECT_EQ(lines->lineEnd(), Io::Text::kCarriageReturnLineFeed);
    lines->unreadChar();
    EXPECT_EQ(PositionOf(lines), std::make_pair(1, 2));
    EXPECT_EQ(lines->lineEnd(), Io::Text::kNone);
    EXPECT_FALSE(lines->atEnd());
    EXPECT_EQ(lines->readChar(), u'\n');
    EXPECT_EQ(PositionOf(lines), std::make_pair(2, 1));
    EXPECT_EQ(lines->lineEnd(), Io::Text::kCarriageReturnLineFeed);

    // read delivers a given-back line end alone, and it can be given back again.
    lines->unreadChar();
    EXPECT_EQ(lines->read(), u"\n");
    lines->unreadChar();
    EXPECT_EQ(lines->read(), u"\n");
    EXPECT_EQ(lines->read(), u"b\n");
    EXPECT_EQ(lines->lineEnd(), Io::Text::kCarriageReturn);
    EXPECT_EQ(lines->read(), u"c");
}

TEST(LineSource, ForgetHandsOverTheBufferedRest) {
    Ref<LineSource> lines = LinesOf({u"ab\ncd", u"ef"});
    EXPECT_EQ(lines->read(), u"ab\n");
    EXPECT_EQ(lines->forget(), u"cd");
    ExpectTextError([&] { lines->forget(); }, u"text-line-nothingtoforget");
    EXPECT_FALSE(lines->atEnd());
    EXPECT_EQ(lines->readChar(), u'e');
    EXPECT_EQ(lines->forget(), u"f");
    EXPECT_TRUE(lines->atEnd());
    EXPECT_EQ(lines->read(), u"");
}

TEST(LineSource, PositionRules) {
    Ref<LineSource> lines = LinesOf({u"x"}, 4);
    Ref<Position> position = Cast<Position>(lines, "text");
    position->setPosition(5, 7);
    lines->readChar();
    EXPECT_EQ(position->position(), std::make_pair(5, 8));
    ExpectTextError([&] { position->setPosition(1, 0); }, u"text-line-badcolumn");
    ExpectTextError([&] { position->setPosition(0, 1); }, u"text-line-badcolumn");
    // A tab width below 1 would divide by zero.
    ExpectTextError([&] { position->setTabWidth(0); }, u"text-line-badcolumn");
    ExpectTextError([&] { LinesOf({u"x"}, -1); }, u"text-line-badcolumn");
    EXPECT_EQ(position->tabWidth(), 4);
    EXPECT_EQ(lines->source()->read(), u"");
}

TEST(LineSink, ConvertsLineEnds) {
    struct Case {
        int32_t line_end;
        std::vector<std::u16string> writes;
        std::u16string written;
        std::pair<int32_t, int32_t> position;
    } cases[] = {
        {Io::Text::kCarriageReturn, {u"a\r\nb\n"}, u"a\rb\r", {3, 1}},
        {Io::Text::kLineFeed, {u"a\rb\r\n\tc"}, u"a\nb\n\tc", {3, 10}},
        {Io::Text::kCarriageReturnLineFeed, {u"a\n\n"}, u"a\r\n\r\n", {3, 1}},
        {Io::Text::kNone, {u"a\r", u"\nb"}, u"a\r\n\r\nb", {3, 2}},
        {7, {u"a\nb"}, u"ab", {2, 2}},
    };
    for (const Case& c : cases) {
        Ref<Io::Text::Memory::Sink> text = Object::New<Io::Text::Memory::Sink>();
        Ref<LineSink> lines = Io::Text::CreateLineSink(text, c.line_end, 8);
        for (const std::u16string& write : c.writes) {
            lines->write(BaseString(write));
        }
        EXPECT_EQ(text->text(), c.written) << c.line_end;
        EXPECT_EQ(Cast<Position>(lines, "text")->position(), c.position) << c.line_end;
    }
}

TEST(LineSink, SwitchesLineEndsAndPassesTerminate) {
    Ref<Io::Text::Memory::Sink> text = Object::New<Io::Text::Memory::Sink>();
    Ref<LineSink> lines = Io::Text::CreateLineSink(text, Io::Text::kLineFeed, 8);
    lines->write(BaseString(u"a\n"));
    lines->setLineEnd(Io::Text::kCarriageReturn);
    lines->write(BaseString(u"b\n"));
    lines->terminate();
    EXPECT_EQ(text->text(), u"a\nb\r");
    EXPECT_EQ(lines->sink().Identity(), text.Identity());
}

TEST(LineStreams, CreatorsShareOneIdentifier) {
    Ref<Object::Manager> manager = Object::GetManager();
    Iid creator_id(u"IID_Io::Text::LineSink::Creator");
    EXPECT_TRUE(manager->Create(BaseString(Io::Text::kLineSourceCreatorClsid), creator_id));
    EXPECT_TRUE(manager->Create(BaseString(Io::Text::kLineSinkCreatorClsid), creator_id));
    // The line source answers the line sink's identifier.
    Ref<LineSource> lines = LinesOf({u"x"});
    EXPECT_TRUE(Ref<BaseFace>::Adopt(lines->QueryFace(&LineSink::kIid)));
}

}  // namespace
