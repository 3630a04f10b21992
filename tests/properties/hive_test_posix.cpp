#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/platform.h"
#include "properties/hive.h"
#include "properties/hive_store.h"
#include "properties/persistent_properties.h"
#include "test_support.h"

extern char** environ;

namespace {

using Registry::Hive;
using Registry::HiveKey;

std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::vector<uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

const Registry::HiveValue* ValueAt(const HiveKey& root, std::u16string_view key_path,
                                   std::u16string_view name) {
    const HiveKey* key = &root;
    while (key && !key_path.empty()) {
        size_t separator = key_path.find(u'\\');
        key = key->FindSubkey(key_path.substr(0, separator));
        key_path.remove_prefix(separator == std::u16string_view::npos ? key_path.size()
                                                                      : separator + 1);
    }
    return key ? key->FindValue(name) : nullptr;
}

TEST(HiveFormat, ReadsWhatRegeditWrites) {
    const std::string file = Utf16Le(
        u"Windows Registry Editor Version 5.00\r\n"
        u"\r\n"
        u"; a comment\r\n"
        u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvella]\r\n"
        u"\"LangId\"=\"0407\"\r\n"
        u"\"Path\"=\"C:\\\\Program Files\\\\\\\"x\\\"\"\r\n"
        u"@=\"default\"\r\n"
        u"\"Count\"=dword:0000002a\r\n"
        u"\"Blob\"=hex:00,ff,\\\r\n"
        u"  10\r\n"
        u"\"Expand\"=hex(2):25,00,00,00\r\n"
        u"\"Empty\"=hex:\r\n"
        u"\r\n"
        u"[hkey_local_machine\\software\\orvella\\1.0]\r\n"
        u"\"InstallDir\"=\"C:\\\\Orvella\"\r\n");
    HiveKey root;
    ASSERT_TRUE(Registry::ParseHive(file, Hive::kMachine, &root));

    struct Case {
        std::u16string_view key;
        std::u16string_view name;
        uint32_t type;
        std::string data;
    } cases[] = {
        {u"SOFTWARE\\Orvella", u"langid", 1, std::string("0\0004\0000\0007\0\0\0", 10)},
        {u"software\\orvella", u"Path", 1, std::string("C\0:\0\\\0P", 7)},
        {u"SOFTWARE\\Orvella", u"", 1, std::string("d\0e\0f\0a\0u\0l\0t\0\0\0", 16)},
        {u"SOFTWARE\\Orvella", u"Count", 4, std::string("\x2a\0\0\0", 4)},
        {u"SOFTWARE\\Orvella", u"Blob", 3, std::string("\0\xff\x10", 3)},
        {u"SOFTWARE\\Orvella", u"Expand", 2, std::string("%\0\0\0", 4)},
        {u"SOFTWARE\\Orvella", u"Empty", 3, ""},
        {u"SOFTWARE\\Orvella\\1.0", u"InstallDir", 1, std::string("C\0:\0\\\0O", 7)},
    };
    for (const Case& c : cases) {
        const Registry::HiveValue* value = ValueAt(root, c.key, c.name);
        ASSERT_TRUE(value) << Utf8(BaseString(c.name));
        EXPECT_EQ(value->type, c.type);
        std::string data(value->data.begin(), value->data.end());
        EXPECT_EQ(data.substr(0, c.data.size()), c.data) << Utf8(BaseString(c.name));
    }
    EXPECT_EQ(root.subkeys.size(), 1u);  // the two spellings are one key
}

TEST(HiveFormat, RefusesWhatIsNotAWellFormedHive) {
    const std::string header = "Windows Registry Editor Version 5.00\n";
    struct Case {
        const char* why;
        std::string text;
    } cases[] = {
        {"empty file", ""},
        {"no header", "[HKEY_LOCAL_MACHINE\\A]\n"},
        {"old header", "REGEDIT4\n"},
        {"value outside a key", header + "\"a\"=\"b\"\n"},
        {"other hive", header + "[HKEY_CURRENT_USER\\A]\n"},
        {"key deletion", header + "[-HKEY_LOCAL_MACHINE\\A]\n"},
        {"value deletion", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=-\n"},
        {"empty key name", header + "[HKEY_LOCAL_MACHINE\\A\\\\B]\n"},
        {"unclosed key", header + "[HKEY_LOCAL_MACHINE\\A\n"},
        {"unclosed string", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"b\n"},
        {"text after string", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"b\"c\n"},
        {"unknown escape", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"\\n\"\n"},
        {"same value twice", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"1\"\n\"A\"=\"2\"\n"},
        {"long dword", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=dword:123456789\n"},
        {"bad dword", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=dword:12g4\n"},
        {"bad hex byte", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex:01,2x\n"},
        {"three-digit byte", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex:100\n"},
        {"trailing comma", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex:01,\n"},
        {"bad type", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex(z):01\n"},
        {"no data", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\n"},
        {"bare name", header + "[HKEY_LOCAL_MACHINE\\A]\na=\"b\"\n"},
        {"invalid UTF-8", header + "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"\xC3\x28\"\n"},
        {"odd UTF-16", "\xFF\xFE\x57\x00\x69"},
        {"zero character", header + std::string("[HKEY_LOCAL_MACHINE\\A\0]\n", 24)},
    };
    for (const Case& c : cases) {
        HiveKey root;
        EXPECT_FALSE(Registry::ParseHive(c.text, Hive::kMachine, &root)) << c.why;
    }
}

TEST(HiveFormat, WritesWhatItReadsBack) {
    HiveKey root;
    HiveKey& product = root.Subkey(u"SOFTWARE").Subkey(u"Orvella");
    const std::u16string tricky_text = u"\"q\" \\ ä 語 😀";
    std::vector<uint8_t> tricky(
        reinterpret_cast<const uint8_t*>(tricky_text.c_str()),
        reinterpret_cast<const uint8_t*>(tricky_text.c_str()) + (tricky_text.size() + 1) * 2);
    std::vector<uint8_t> long_blob(300);
    for (size_t i = 0; i < long_blob.size(); ++i) {
        long_blob[i] = static_cast<uint8_t>(i * 7);
    }
    product.values = {
        {u"Text", 1, tricky},
        {u"", 1, Bytes(std::string("x\0\0\0", 4))},
        {u"Line\"break\\", 1, Bytes(std::string("a\0\n\0b\0\0\0", 8))},  // as hex(1)
        {u"Unterminated", 1, Bytes(std::string("a\0", 2))},
        {u"Odd", 1, Bytes("abc")},
        {u"Number", 4, Bytes(std::string("\x01\x02\x03\x04", 4))},
        {u"ShortNumber", 4, Bytes("ab")},
        {u"Blob", 3, long_blob},
        {u"Nothing", 3, {}},
        {u"Multi", 7, Bytes(std::string("a\0\0\0\0\0", 6))},
        {u"Quad", 11, Bytes("12345678")},
    };
    root.Subkey(u"SOFTWARE").Subkey(u"Empty key");
    root.values.push_back({u"AtRoot", 4, Bytes(std::string("\0\0\0\0", 4))});

    std::string file = Registry::WriteHive(root, Hive::kUser);
    HiveKey read;
    ASSERT_TRUE(Registry::ParseHive(file, Hive::kUser, &read));
    ASSERT_EQ(read.values.size(), 1u);
    ASSERT_EQ(read.subkeys.size(), 1u);
    ASSERT_EQ(read.subkeys[0]->subkeys.size(), 2u);
    EXPECT_EQ(read.subkeys[0]->subkeys[1]->name, u"Empty key");
    const HiveKey& again = *read.subkeys[0]->subkeys[0];
    ASSERT_EQ(again.values.size(), product.values.size());
    for (size_t i = 0; i < product.values.size(); ++i) {
        EXPECT_EQ(again.values[i].name, product.values[i].name) << i;
        EXPECT_EQ(again.values[i].type, product.values[i].type) << i;
        EXPECT_EQ(again.values[i].data, product.values[i].data) << i;
    }
    EXPECT_EQ(Registry::WriteHive(read, Hive::kUser), file);

    // A sample of the text, as regedit would write it.
    HiveKey small;
    small.Subkey(u"SOFTWARE").Subkey(u"Orvella").values = {
        {u"LangId", 1, Bytes(std::string("0\0004\0000\0007\0\0\0", 10))},
        {u"Count", 4, Bytes(std::string("\x2a\0\0\0", 4))},
        {u"Expand", 2, Bytes(std::string("%\0\0\0", 4))},
    };
    EXPECT_EQ(Registry::WriteHive(small, Hive::kMachine),
              Utf16Le(u"Windows Registry Editor Version 5.00\r\n\r\n"
                      u"[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n"
                      u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvella]\r\n"
                      u"\"LangId\"=\"0407\"\r\n"
                      u"\"Count\"=dword:0000002a\r\n"
                      u"\"Expand\"=hex(2):25,00,00,00\r\n\r\n"));
}

// A registry folder of its own for each test of the store.
class HiveStoreTest : public testing::Test {
protected:
    void SetUp() override {
        const char* previous = std::getenv("ORVELLA_REGISTRY_DIR");
        previous_ = previous ? previous : "";
        char pattern[] = "/tmp/orvella-hive-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        directory_ = pattern;
        setenv("ORVELLA_REGISTRY_DIR", directory_.c_str(), 1);
    }
    void TearDown() override {
        setenv("ORVELLA_REGISTRY_DIR", previous_.c_str(), 1);
        std::filesystem::remove_all(directory_);
    }

    std::string UserHive() const { return directory_ + "/user.reg"; }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    static pid_t Spawn(std::vector<std::string> arguments) {
        std::string helper = Base::ExecutablePath().ToUtf8();
        helper = helper.substr(0, helper.rfind('/')) + "/hive_writer";
        arguments.insert(arguments.begin(), helper);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, helper.c_str(), nullptr, nullptr, argv.data(), environ), 0);
        return pid;
    }

    static int ExitStatus(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string directory_;
    std::string previous_;
};

TEST_F(HiveStoreTest, AHiveThatDoesNotParseIsReportedAndNeverOverwritten) {
    const std::string broken = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\nbad";
    std::ofstream(UserHive(), std::ios::binary) << broken;

    PersistentProperties properties(u"Orvella", PropertyScope::kUser);
    EXPECT_EQ(properties.GetString(u"LangId", u"dflt"), u"dflt");
    ScopedLanguage english(0x0409);
    EXPECT_EQ(ErrorOf([&] { properties.SetString(u"LangId", u"0407"); }).GetText(),
              u"An internal error occurred (infvn2: "
              u"reg-open-key('HKEY_CURRENT_USER\\SOFTWARE\\Orvella') err=1009).");
    EXPECT_EQ(ReadFile(UserHive()), broken);
}

TEST_F(HiveStoreTest, AHandWrittenUtf8HiveIsReadAndKeptWhole) {
    std::ofstream(UserHive(), std::ios::binary) << "Windows Registry Editor Version 5.00\n\n"
                                                   "[HKEY_CURRENT_USER\\Software\\Orvella]\n"
                                                   "\"Greeting\"=\"Grüße\"\n"
                                                   "\"Kept\"=hex(7):61,00,00,00,00,00\n";
    PersistentProperties properties(u"Orvella", PropertyScope::kUser);
    EXPECT_EQ(properties.GetString(u"Greeting"), u"Grüße");
    properties.SetDword(u"Added", 5);

    HiveKey root;
    ASSERT_TRUE(Registry::ParseHive(ReadFile(UserHive()), Hive::kUser, &root));
    const Registry::HiveValue* kept = ValueAt(root, u"SOFTWARE\\ORVELLA", u"Kept");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->type, 7u);
    EXPECT_EQ(kept->data.size(), 6u);
    EXPECT_EQ(root.subkeys[0]->name, u"Software");  // the case it was made with
}

TEST_F(HiveStoreTest, ConcurrentWritersLoseNoValue) {
    constexpr int kWriters = 4;
    constexpr int kValues = 40;
    std::vector<pid_t> writers;
    for (int i = 0; i < kWriters; ++i) {
        writers.push_back(
            Spawn({"values", "W" + std::to_string(i) + "_", std::to_string(kValues)}));
    }
    for (pid_t writer : writers) {
        EXPECT_EQ(ExitStatus(writer), 0);
    }
    PersistentProperties properties(u"Stress", PropertyScope::kUser);
    EXPECT_EQ(properties.ListValues().size(), static_cast<size_t>(kWriters * kValues));
    for (int i = 0; i < kWriters; ++i) {
        for (int k = 0; k < kValues; ++k) {
            BaseString name =
                BaseString::FromUtf8("W" + std::to_string(i) + "_" + std::to_string(k));
            EXPECT_EQ(properties.GetDword(name, 0xFFFFFFFF), static_cast<uint32_t>(k));
        }
    }
}

TEST_F(HiveStoreTest, AWriterKilledMidWriteLeavesAWholeHive) {
    std::mt19937 random(12345);
    for (int round = 0; round < 8; ++round) {
        pid_t writer = Spawn({"blobs"});
        // Readers meanwhile always see one whole version or another.
        int reads = 2 + static_cast<int>(random() % 6);
        for (int i = 0; i < reads; ++i) {
            usleep(2000 + random() % 8000);
            std::shared_ptr<const HiveKey> hive;
            ASSERT_EQ(Registry::LoadHive(Hive::kUser, &hive), 0u);
        }
        kill(writer, SIGKILL);
        EXPECT_EQ(ExitStatus(writer), -1);

        HiveKey root;
        std::string file = ReadFile(UserHive());
        if (file.empty()) {
            continue;  // killed before its first write
        }
        ASSERT_TRUE(Registry::ParseHive(file, Hive::kUser, &root)) << "round " << round;
        const Registry::HiveValue* blob = ValueAt(root, u"SOFTWARE\\Stress", u"Blob");
        if (!blob) {
            continue;  // killed between making the key and writing the value
        }
        ASSERT_FALSE(blob->data.empty());
        EXPECT_EQ(std::count(blob->data.begin(), blob->data.end(), blob->data[0]),
                  static_cast<std::ptrdiff_t>(blob->data.size()));
    }
    // Neither the lock nor the temporary file of a killed writer stands in the way.
    EXPECT_EQ(ExitStatus(Spawn({"values", "after", "1"})), 0);
    EXPECT_EQ(PersistentProperties(u"Stress", PropertyScope::kUser).GetDword(u"after0", 7), 0u);
}

}  // namespace
