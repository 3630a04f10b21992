#include <gtest/gtest.h>

#include "io/text/memory_stream.h"

namespace {

TEST(MemoryStream, SourceDeliversItsTextOnce) {
    Ref<Io::Text::Source> source = Object::New<Io::Text::Memory::Source>(BaseString(u"text"));
    EXPECT_FALSE(source->atEnd());
    EXPECT_EQ(source->read(), u"text");
    EXPECT_TRUE(source->atEnd());
    EXPECT_EQ(source->read(), u"");
}

TEST(MemoryStream, SinkCollectsEverything) {
    Ref<Io::Text::Memory::Sink> sink = Object::New<Io::Text::Memory::Sink>();
    sink->write(BaseString(u"ab"));
    sink->write(BaseString());
    sink->write(BaseString(u"c"));
    sink->terminate();
    EXPECT_EQ(sink->text(), u"abc");
}

}  // namespace
