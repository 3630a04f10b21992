#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "error/error.h"
#include "error/system_text.h"
#include "temp_folder.h"
#include "test_support.h"

namespace {

constexpr Io::Access kReadWrite = Io::Access::kRead | Io::Access::kWrite;
constexpr Io::Share kShareAll = Io::Share::kRead | Io::Share::kWrite;

Ref<Io::File> OpenForReading(const Ref<Io::Path>& path) {
    return path->openFile(Io::Access::kRead, Io::Share::kRead, Io::kIfExistsOpen,
                          Io::kIfMissingFail);
}

std::string ReadAll(const Ref<Io::Source>& source) {
    std::string bytes;
    while (!source->atEnd()) {
        bytes += source->read().view();
    }
    return bytes;
}

TEST(OpenFile, Rules) {
    ScopedLanguage english(0x0409);
    struct Case {
        uint32_t if_missing, if_exists;
        bool exists;
        uint32_t error;           // 0 when the file opens
        const char16_t* message;  // of the failure
        const char* content;      // after opening
    };
    const char16_t* kOpen = u"Cannot open file '%1'.";
    const Case cases[] = {
        {0, 1, true, 0, nullptr, "old"},
        {0, 1, false, 2, kOpen, nullptr},
        {0, 2, true, 0, nullptr, ""},
        {0, 2, false, 2, kOpen, nullptr},
        {2, 0, false, 0, nullptr, ""},
        {2, 0, true, 80, kOpen, "old"},
        {2, 1, true, 0, nullptr, "old"},
        {2, 1, false, 0, nullptr, ""},
        {2, 2, true, 0, nullptr, ""},
        {2, 2, false, 0, nullptr, ""},
        // Pairs without a rule.
        {0, 0, false, 2, kOpen, nullptr},
        {0, 0, true, 80, kOpen, "old"},
        {1, 1, false, 2, kOpen, nullptr},
        {1, 1, true, 80, kOpen, "old"},
        {2, 3, true, 80, kOpen, "old"},
        {3, 2, false, 2, kOpen, nullptr},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        if (c.exists) {
            temp.WriteFile(u"f", "old");
        }
        Ref<Io::Path> path = temp.Child(u"f");
        std::string what = "if-missing " + std::to_string(c.if_missing) + ", if-exists " +
                           std::to_string(c.if_exists) + (c.exists ? ", existing" : ", missing");
        Error error = ErrorOf([&] {
            Ref<Io::File> file = path->openFile(kReadWrite, kShareAll, c.if_exists, c.if_missing);
            EXPECT_EQ(file->access(), kReadWrite) << what;
        });
        if (c.error == 0) {
            EXPECT_FALSE(error.IsSet()) << what << ": " << Utf8(error.GetText());
        } else {
            EXPECT_EQ(error.CodeAt(1), c.error) << what;
            EXPECT_EQ(error.Has(ErrNotFound), c.error == 2) << what;
            EXPECT_EQ(error.MessageAt(0), FillMessage(c.message, {path->text().view()})) << what;
        }
        EXPECT_EQ(temp.Exists(u"f"), c.content != nullptr) << what;
        if (c.content) {
            EXPECT_EQ(temp.ReadFile(u"f"), c.content) << what;
        }
    }
}

TEST(OpenFile, PlatformRefusalsAndFolders) {
    ScopedLanguage english(0x0409);
    TempFolder temp;
    std::filesystem::create_directory(temp.Native(u"dir"));
    Ref<Io::Path> folder = temp.Child(u"dir");
    for (uint32_t if_missing : {Io::kIfMissingFail, Io::kIfMissingCreate}) {
        Error error = ErrorOf([&] {
            folder->openFile(Io::Access::kRead, Io::Share::kRead, Io::kIfExistsOpen, if_missing);
        });
        EXPECT_EQ(error.CodeAt(1), 5u);
        EXPECT_EQ(error.MessageAt(0), u"Cannot open file '" + folder->text() + u"'.");
    }

    // The platform refuses: the folder of the file is missing.
    Ref<Io::Path> deep = temp.Child(u"none/f");
    Error create = ErrorOf([&] {
        deep->openFile(kReadWrite, Io::Share::kNone, Io::kIfExistsTruncate, Io::kIfMissingCreate);
    });
    EXPECT_EQ(create.MessageAt(0), u"Cannot create file '" + deep->text() + u"'.");
    EXPECT_TRUE(create.Has(ErrNotFound));
    EXPECT_EQ(create.GetText(), create.MessageAt(0) + u"\n" + SystemErrorText(create.CodeAt(1)));
}

TEST(OpenFile, MessagesInTheUsersLanguage) {
    TempFolder temp;
    Ref<Io::Path> path = temp.Child(u"missing.txt");
    struct Case {
        uint32_t language;
        std::u16string_view message;
    };
    const Case cases[] = {
        {0x0407, u"Datei '%1' kann nicht geöffnet werden."},
        {0x0411, u"ファイル '%1' を開けません。"},
        {0x0413, u"Kan het bestand %1 niet openen."},
        {0x080A, u"Cannot open file '%1'."},
    };
    for (const Case& c : cases) {
        ScopedLanguage language(c.language);
        Error error = ErrorOf([&] { OpenForReading(path); });
        EXPECT_EQ(error.MessageAt(0), FillMessage(c.message, {path->text().view()}));
    }
}

TEST(File, SourceDeliversChunksOfAtMost64K) {
    TempFolder temp;
    const std::string bytes = PatternBytes(2 * 65536 + 10);
    temp.WriteFile(u"big", bytes);
    Ref<Io::File> file = OpenForReading(temp.Child(u"big"));
    EXPECT_EQ(file->size(), bytes.size());

    // Chunks kept by the reader stay as they were while the source goes on.
    Ref<Io::Source> source = file->source();
    std::vector<ByteBuffer> chunks;
    for (size_t expected : {65536, 65536, 10}) {
        ASSERT_FALSE(source->atEnd());
        chunks.push_back(source->read());
        EXPECT_EQ(chunks.back().size(), expected);
    }
    EXPECT_TRUE(source->atEnd());
    EXPECT_TRUE(source->read().empty());
    std::string read;
    for (const ByteBuffer& chunk : chunks) {
        read += chunk.view();
    }
    EXPECT_EQ(read, bytes);
    EXPECT_EQ(ReadAll(file->source()), bytes);
    EXPECT_TRUE(SoftCast<Io::File::Source>(source));

    // Direct reads: capped, positioned, empty at and past the end.
    EXPECT_EQ(file->read(0, 1000000).size(), 65536u);
    EXPECT_EQ(file->read(65536 + 3, 4).view(), bytes.substr(65536 + 3, 4));
    EXPECT_EQ(file->read(bytes.size() - 4, 100).view(), bytes.substr(bytes.size() - 4));
    EXPECT_TRUE(file->read(bytes.size(), 100).empty());
    EXPECT_TRUE(file->read(uint64_t{1} << 40, 100).empty());
}

TEST(File, SourceEndsWhereTheFileHasBeenCut) {
    TempFolder temp;
    temp.WriteFile(u"f", PatternBytes(70000));
    Ref<Io::Path> path = temp.Child(u"f");
    Ref<Io::File> file = path->openFile(kReadWrite, kShareAll, Io::kIfExistsOpen, 0);
    Ref<Io::Source> source = file->source();
    file->setSize(100);
    EXPECT_EQ(source->read().size(), 100u);
    EXPECT_TRUE(source->read().empty());
    EXPECT_TRUE(source->atEnd());
}

TEST(File, SinksWriteAndSourcesReadWithTheirOwnPositions) {
    TempFolder temp;
    Ref<Io::File> file = temp.Child(u"out")->openFile(kReadWrite, Io::Share::kRead,
                                                      Io::kIfExistsTruncate, Io::kIfMissingCreate);
    Ref<Io::Sink> sink = file->sink();
    EXPECT_TRUE(SoftCast<Io::File::Sink>(sink));
    const std::string big = PatternBytes(200000);
    sink->write(ByteBuffer(std::string_view("head:")));
    sink->write(ByteBuffer(big));
    sink->terminate();
    EXPECT_EQ(file->size(), 5 + big.size());
    EXPECT_EQ(temp.ReadFile(u"out"), "head:" + big);

    // A second sink starts at 0 again and overwrites; sources see the file as it is.
    Ref<Io::Sink> other = file->sink();
    other->write(ByteBuffer(std::string_view("HEAD")));
    Ref<Io::Source> first = file->source();
    Ref<Io::Source> second = file->source();
    EXPECT_EQ(first->read().view().substr(0, 5), "HEAD:");
    EXPECT_EQ(ReadAll(second), "HEAD:" + big);
    EXPECT_EQ(ReadAll(first).size(), big.size() + 5 - 65536);

    file->write(big.size() + 100, ByteBuffer(std::string_view("tail")));
    EXPECT_EQ(file->size(), big.size() + 104);
    file->setSize(3);
    file->flush();
    EXPECT_EQ(temp.ReadFile(u"out"), "HEA");
}

TEST(File, AccessDecidesWhatMayBeDone) {
    ScopedLanguage english(0x0409);
    TempFolder temp;
    temp.WriteFile(u"f", "data");
    Ref<Io::Path> path = temp.Child(u"f");
    Ref<Io::File> write_only = path->openFile(Io::Access::kWrite, kShareAll, Io::kIfExistsOpen, 0);
    EXPECT_EQ(ErrorOf([&] { write_only->source(); }).GetText(),
              u"An internal error occurred (fs: source-on-nonrfile).");
    Error read_error = ErrorOf([&] { write_only->read(0, 4); });
    EXPECT_EQ(read_error.CodeAt(1), 5u);
    EXPECT_EQ(read_error.MessageAt(0), u"Failed to read file '" + path->text() + u"'.");

    Ref<Io::File> read_only =
        path->openFile(Io::Access::kRead, kShareAll, Io::kIfExistsOpen, Io::kIfMissingFail);
    EXPECT_EQ(ErrorOf([&] { read_only->sink(); }).GetText(),
              u"An internal error occurred (fs: sink-on-nonwfile).");
    for (const std::function<void()>& action : std::vector<std::function<void()>>{
             [&] { read_only->write(0, ByteBuffer(std::string_view("x"))); },
             [&] { read_only->setSize(1); },
             [&] { read_only->flush(); },
         }) {
        Error error = ErrorOf(action);
        EXPECT_NE(error.CodeAt(1), 0u);
        EXPECT_EQ(error.MessageAt(0), u"Failed to write file '" + path->text() + u"'.");
    }
    EXPECT_EQ(temp.ReadFile(u"f"), "data");

    // Access values beyond 3 mean none; a read-only open never truncates.
    EXPECT_EQ(path->openFile(static_cast<Io::Access>(7), kShareAll, Io::kIfExistsOpen, 0)->access(),
              Io::Access::kNone);
    Error truncate =
        ErrorOf([&] { path->openFile(Io::Access::kRead, kShareAll, Io::kIfExistsTruncate, 0); });
    EXPECT_EQ(truncate.CodeAt(1), 5u);
    EXPECT_EQ(temp.ReadFile(u"f"), "data");
    Error missing = ErrorOf([&] {
        temp.Child(u"none")->openFile(Io::Access::kRead, kShareAll, Io::kIfExistsTruncate, 0);
    });
    EXPECT_EQ(missing.CodeAt(1), 2u);
}

#ifdef _WIN32
TEST(OpenFile, RecreatingAHiddenFileKeepsItHidden) {
    TempFolder temp;
    temp.WriteFile(u"hidden", "old");
    std::u16string native = temp.Native(u"hidden").u16string();
    const wchar_t* name = reinterpret_cast<const wchar_t*>(native.c_str());
    ASSERT_TRUE(SetFileAttributesW(name, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    temp.Child(u"hidden")->openFile(Io::Access::kWrite, Io::Share::kNone, Io::kIfExistsTruncate,
                                    Io::kIfMissingCreate);
    DWORD attributes = GetFileAttributesW(name);
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});
    EXPECT_EQ(temp.ReadFile(u"hidden"), "");
    SetFileAttributesW(name, FILE_ATTRIBUTE_NORMAL);
}
#endif

// Writers on separate regions of one file, through one file object.
TEST(File, ConcurrentWritesDoNotInterleave) {
    TempFolder temp;
    Ref<Io::File> file = temp.Child(u"f")->openFile(kReadWrite, Io::Share::kNone,
                                                    Io::kIfExistsTruncate, Io::kIfMissingCreate);
    constexpr int kThreads = 4;
    constexpr int kBlocks = 50;
    constexpr size_t kBlock = 1000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ByteBuffer block(std::string(kBlock, static_cast<char>('a' + t)));
            for (int b = 0; b < kBlocks; ++b) {
                file->write((static_cast<uint64_t>(b) * kThreads + t) * kBlock, block);
                file->size();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    file.Reset();
    std::string bytes = temp.ReadFile(u"f");
    ASSERT_EQ(bytes.size(), kThreads * kBlocks * kBlock);
    for (size_t i = 0; i < bytes.size(); ++i) {
        ASSERT_EQ(bytes[i], 'a' + static_cast<int>((i / kBlock) % kThreads)) << i;
    }
}

}  // namespace
