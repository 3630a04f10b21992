#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/file.h"
#include "io/folder.h"
#include "temp_folder.h"
#include "test_support.h"

// A medium copied into a deep folder: paths past 260 characters, the plain
// limit of the Windows file calls (MAX_PATH), which the calls take in their
// extended form.
namespace {

TEST(LongPaths, EveryFileAndFolderCallWorksInAFolderOf300Characters) {
    TempFolder temp;
    // Five folders of 60 characters below the temporary folder.
    std::u16string names;
    for (char16_t letter : std::u16string_view(u"abcde")) {
        names += std::u16string(60, letter) + u"/";
    }
    Ref<Io::Path> deep = temp.Child(names);
    ASSERT_GT(deep->text().length(), 300u);

    EXPECT_TRUE(deep->folder(false, true, true));

    EXPECT_EQ(deep->type(), Io::kTypeFolder);

    Ref<Io::Path> file = deep->resolve(u"autorun.xml");
    const std::string content = PatternBytes(100000);
    {
        Ref<Io::File> written = file->openFile(Io::Access::kWrite, Io::Share::kRead,
                                               Io::kIfExistsTruncate, Io::kIfMissingCreate);
        written->write(0, ByteBuffer(content));
        written->flush();
    }
    EXPECT_EQ(file->type(), Io::kTypeFile);
    EXPECT_EQ(temp.ReadFile(names + u"autorun.xml"), content);
    {
        std::string read;
        Ref<Io::Source> source = file->openFile(Io::Access::kRead, Io::Share::kRead,
                                                Io::kIfExistsOpen, Io::kIfMissingFail)
                                     ->source();
        while (!source->atEnd()) {
            read += source->read().view();
        }
        EXPECT_EQ(read, content);
    }

    const uint64_t time = 132000000000000000;  // in 2019
    file->setTime(Io::kTimeLastWrite, time);
    EXPECT_EQ(file->time(Io::kTimeLastWrite), time);

    EXPECT_EQ(deep->folder(true, false, false)->list(u"", nullptr),
              std::vector<BaseString>{BaseString(u"autorun.xml")});

    Ref<Io::Path> top = temp.Child(names.substr(0, 60));
    top->remove(true);
    EXPECT_EQ(top->type(), Io::kTypeNone);
    EXPECT_FALSE(temp.Exists(names.substr(0, 60)));
}

}  // namespace
