#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "properties/persistent_properties.h"
#include "properties/product_settings.h"
#include "properties/registry.h"
#include "test_support.h"

namespace {

constexpr PropertyScope kUser = PropertyScope::kUser;
constexpr PropertyScope kMachine = PropertyScope::kMachine;

// A key of its own for each test, under "SOFTWARE\OrvellaTest", removed before
// and after the test.
class PropertiesTest : public testing::Test {
protected:
    void SetUp() override { PersistentProperties(name_, kUser).DeleteKey(); }
    void TearDown() override { PersistentProperties(name_, kUser).DeleteKey(); }

    static bool KeyExists(const BaseString& path, Registry::Key root = Registry::UserRoot()) {
        Registry::Key key;
        if (Registry::OpenKey(root, path.c_str(), &key) != 0) {
            return false;
        }
        Registry::CloseKey(key);
        return true;
    }
    // Writes a value of any type straight through the registry.
    static void WriteRaw(const BaseString& key_path, const char16_t* name, uint32_t type,
                         std::string_view bytes) {
        Registry::Key key;
        ASSERT_EQ(Registry::CreateKey(Registry::UserRoot(), key_path.c_str(), &key), 0u);
        ASSERT_EQ(
            Registry::SetValue(key, name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                               static_cast<uint32_t>(bytes.size())),
            0u);
        Registry::CloseKey(key);
    }

    const BaseString name_ =
        BaseString::FromUtf8(std::string("OrvellaTest\\") +
                             testing::UnitTest::GetInstance()->current_test_info()->name());
    const BaseString path_ = BaseString(u"SOFTWARE\\") + name_;
};

TEST_F(PropertiesTest, EveryTypeRoundTripsAndSettersCreateTheKey) {
    PersistentProperties properties(name_, kUser);
    ASSERT_FALSE(KeyExists(path_));
    properties.SetDword(u"Number", 0xFEDCBA98);
    EXPECT_TRUE(KeyExists(path_));
    properties.SetString(u"Text", u"Grüße \"quoted\" C:\\path\\ 語");
    properties.SetString(u"Empty", u"");
    const char raw[] = {'\0', '\x01', '\xFF', 'z'};
    properties.SetBinary(u"Bytes", ByteBuffer(raw, sizeof raw));
    properties.SetBinary(u"NoBytes", ByteBuffer());

    PersistentProperties reader(name_, kUser);  // nothing is cached about values
    EXPECT_EQ(reader.GetDword(u"Number"), 0xFEDCBA98u);
    EXPECT_EQ(reader.GetString(u"Text"), u"Grüße \"quoted\" C:\\path\\ 語");
    EXPECT_EQ(reader.GetString(u"Empty", u"default"), u"");
    EXPECT_EQ(reader.GetBinary(u"Bytes"), ByteBuffer(raw, sizeof raw));
    EXPECT_EQ(reader.GetBinary(u"NoBytes", ByteBuffer("default")), ByteBuffer());
    EXPECT_EQ(reader.GetValueType(u"Number"), Properties::kDword);
    EXPECT_EQ(reader.GetValueType(u"Text"), Properties::kString);
    EXPECT_EQ(reader.GetValueType(u"NoBytes"), Properties::kBinary);
    EXPECT_EQ(reader.GetValueType(u"Missing"), Properties::kMissing);

    properties.SetString(u"Text", u"replaced");
    EXPECT_EQ(reader.GetString(u"TEXT"), u"replaced");  // names ignore case
    EXPECT_EQ(PersistentProperties(BaseString(u"ORVELLATEST\\") + name_.Substr(12), kUser)
                  .GetDword(u"number"),
              0xFEDCBA98u);
}

TEST_F(PropertiesTest, MissingKeysAndValuesGiveTheDefaultAndCreateNothing) {
    PersistentProperties properties(name_, kUser);
    EXPECT_EQ(properties.GetString(u"LangId", u"dflt"), u"dflt");
    EXPECT_EQ(properties.GetDword(u"LangId", 7), 7u);
    EXPECT_EQ(properties.GetBinary(u"LangId", ByteBuffer("x")), ByteBuffer("x"));
    EXPECT_EQ(properties.GetHandle(u"LangId", &properties), &properties);
    EXPECT_EQ(properties.GetValueType(u"LangId"), Properties::kMissing);
    EXPECT_TRUE(properties.ListValues().empty());
    properties.DeleteValue(u"LangId");
    properties.DeleteAllValues();
    EXPECT_FALSE(KeyExists(path_));

    properties.SetDword(u"Other", 1);
    EXPECT_EQ(properties.GetString(u"LangId", u"dflt"), u"dflt");
    EXPECT_EQ(properties.DeleteValue(u"LangId"), Registry::kErrorFileNotFound);
}

TEST_F(PropertiesTest, WrongTypesReadAsTheDefaultAndRequiredReadsThrow) {
    const std::string display = "HKEY_CURRENT_USER\\" + Utf8(path_);
    WriteRaw(path_, u"Expand", Registry::kTypeExpandString, std::string("%\0T\0%\0\0\0", 8));
    WriteRaw(path_, u"Text", Registry::kTypeString, std::string("4\0\0\0", 4));
    WriteRaw(path_, u"Number", Registry::kTypeDword, std::string("\x04\0\0\0", 4));
    PersistentProperties properties(name_, kUser);

    EXPECT_EQ(properties.GetString(u"Expand", u"d"), u"d");
    EXPECT_EQ(properties.GetDword(u"Text", 9), 9u);
    EXPECT_EQ(properties.GetBinary(u"Number", ByteBuffer("d")), ByteBuffer("d"));
    EXPECT_EQ(properties.GetValueType(u"Expand"), Properties::kMissing);

    struct Case {
        std::function<void()> read;
        std::string text;
    } cases[] = {
        {[&] { properties.GetString(u"Expand"); },
         "reg-val-badtype('" + display + "\\Expand') REG_SZ expected"},
        {[&] { properties.GetDword(u"Text"); },
         "reg-val-badtype('" + display + "\\Text') REG_DWORD expected"},
        {[&] { properties.GetBinary(u"Number"); },
         "reg-val-badtype('" + display + "\\Number') REG_BINARY expected"},
        {[&] { properties.GetString(u"Missing"); },
         "reg-query-val('" + display + "\\Missing') err=2"},
        {[&] { properties.GetDword(u"Missing"); },
         "reg-query-val('" + display + "\\Missing') err=2"},
        {[&] { PersistentProperties(name_ + u"\\None", kUser).GetBinary(u"x"); },
         "reg-open-key('" + display + "\\None') err=2"},
        {[&] { properties.GetHandle(u"Number"); }, "pprop-gethandle-notsupp"},
        {[&] { properties.SetHandle(u"Number", nullptr); }, "pprop-sethandle-notimpl"},
    };
    ScopedLanguage english(0x0409);
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8(ErrorOf(c.read).GetText()),
                  "An internal error occurred (infvn2: " + c.text + ").");
    }
}

TEST_F(PropertiesTest, ListingAndDeletingValues) {
    PersistentProperties properties(name_, kUser);
    properties.SetString(u"b", u"1");
    properties.SetDword(u"a", 2);
    WriteRaw(path_, u"expand", Registry::kTypeExpandString, std::string("\0\0", 2));
    properties.SetBinary(u"c", ByteBuffer("3"));

    // In the store's order, which differs (Wine sorts, Windows and the hive
    // store keep the order of making); the REG_EXPAND_SZ value is not listed.
    std::vector<BaseString> names = properties.ListValues();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<BaseString>{u"a", u"b", u"c"}));

    EXPECT_EQ(properties.DeleteValue(u"A"), 0u);
    EXPECT_EQ(properties.DeleteValue(u"a"), Registry::kErrorFileNotFound);
    EXPECT_EQ(properties.ListValues().size(), 2u);

    properties.DeleteAllValues();
    EXPECT_TRUE(properties.ListValues().empty());
    EXPECT_EQ(properties.GetValueType(u"expand"), Properties::kMissing);
    EXPECT_TRUE(KeyExists(path_));
}

TEST_F(PropertiesTest, DeleteKeyRemovesNestedKeys) {
    for (const char16_t* sub : {u"", u"\\1.0", u"\\1.0\\Deep\\Deeper", u"\\2.0"}) {
        PersistentProperties(name_ + sub, kUser).SetString(u"Here", sub);
    }
    PersistentProperties properties(name_, kUser);
    EXPECT_EQ(properties.GetString(u"Here"), u"");
    properties.DeleteKey();
    EXPECT_FALSE(KeyExists(path_));
    EXPECT_EQ(properties.GetString(u"Here", u"gone"), u"gone");
    properties.DeleteKey();  // a missing key is fine

    properties.SetDword(u"Back", 1);  // the object works on after that
    EXPECT_EQ(properties.GetDword(u"Back"), 1u);
}

TEST_F(PropertiesTest, RetargetingReadsTheOtherKey) {
    PersistentProperties(name_ + u"\\One", kUser).SetString(u"Which", u"one");
    PersistentProperties(name_ + u"\\Two", kUser).SetString(u"Which", u"two");
    PersistentProperties properties(name_ + u"\\One", kUser);
    EXPECT_EQ(properties.GetString(u"Which"), u"one");
    properties.SetKey(name_ + u"\\Two", kUser);
    EXPECT_EQ(properties.GetString(u"Which"), u"two");
    properties.SetKey(name_ + u"\\Two", kMachine);
    EXPECT_EQ(properties.GetString(u"Which", u"other hive"), u"other hive");
}

TEST_F(PropertiesTest, DisplayPathsNameHiveKeyAndValue) {
    PersistentProperties product(u"Orvella", kMachine);
    EXPECT_EQ(product.DisplayPath(u"LangId"), u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvella\\LangId");
    EXPECT_EQ(product.DisplayPath(), u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvella");
    EXPECT_EQ(PersistentProperties(u"Orvella\\1.0", kUser).DisplayPath(u"InstallDir"),
              u"HKEY_CURRENT_USER\\SOFTWARE\\Orvella\\1.0\\InstallDir");

    PersistentProperties machine(name_, kMachine);
    machine.SetDword(u"Present", 1);
    ScopedLanguage english(0x0409);
    EXPECT_EQ(Utf8(ErrorOf([&] { machine.GetString(u"LangId"); }).GetText()),
              "An internal error occurred (infvn2: reg-query-val('HKEY_LOCAL_MACHINE\\SOFTWARE\\" +
                  Utf8(name_) + "\\LangId') err=2).");
    machine.DeleteKey();
}

// Each setting its key and value of the machine hive; a value that is missing
// or not a string is the default.
TEST(ProductSettings, ReadTheirValuesOfTheMachineHive) {
    PersistentProperties product(u"Orvella", kMachine);
    PersistentProperties install_dir(u"Orvella\\1.0\\InstallDir", kMachine);
    product.SetString(u"LangId", u"0407");
    product.SetString(u"LangList", u"0409,0407");
    install_dir.SetString(BaseString(), u"/opt/orvella");
    EXPECT_EQ(ProductSettings::ForcedLanguage(), u"0407");
    EXPECT_EQ(ProductSettings::LanguageList(), u"0409,0407");
    EXPECT_EQ(ProductSettings::InstallFolder(), u"/opt/orvella");

    product.SetDword(u"LangId", 0x0407);
    product.DeleteValue(u"LangList");
    install_dir.DeleteKey();
    EXPECT_EQ(ProductSettings::ForcedLanguage(), u"");
    EXPECT_EQ(ProductSettings::LanguageList(), u"");
    EXPECT_EQ(ProductSettings::InstallFolder(), u"");
    product.DeleteValue(u"LangId");
}

}  // namespace
