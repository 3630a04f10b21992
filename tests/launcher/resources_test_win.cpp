#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/win.h"

#include <imagehlp.h>
#include <shlwapi.h>

#include "error/languages.h"
#include "launcher/resources/resource_ids.h"
#include "launcher/texts.h"
#include "launcher_executable_win.h"
#include "test_support.h"

// The launcher's resources, read back from the executable this build made.
namespace {

// autorun.exe, loaded for its resources only.
HMODULE Launcher() {
    static const HMODULE module =
        ::LoadLibraryExW(LauncherExecutable().c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return module;
}

// An extended dialog template (DLGTEMPLATEEX) with its one control, read field
// by field.
struct DialogTemplate {
    uint16_t version = 0, signature = 0;
    uint32_t style = 0, ex_style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::u16string menu, window_class, caption;
    uint16_t point_size = 0, weight = 0;
    uint8_t italic = 0, charset = 0;
    std::u16string typeface;
    struct Control {
        uint32_t style = 0, ex_style = 0;
        int16_t x = 0, y = 0, cx = 0, cy = 0;
        uint32_t id = 0;
        uint16_t class_atom = 0;
        std::u16string text;
    };
    std::vector<Control> controls;
};

class TemplateReader {
public:
    explicit TemplateReader(const uint8_t* data) : data_(data) {}

    template <class T>
    T Read() {
        T value;
        std::memcpy(&value, data_ + offset_, sizeof(value));
        offset_ += sizeof(value);
        return value;
    }
    std::u16string String() {
        std::u16string text;
        for (char16_t c = Read<char16_t>(); c; c = Read<char16_t>()) {
            text += c;
        }
        return text;
    }
    // A name or an ordinal: 0 for none, FFFF and a number, or a string. An
    // ordinal comes back as its number in `ordinal`.
    std::u16string NameOrOrdinal(uint16_t* ordinal = nullptr) {
        char16_t first = Read<char16_t>();
        if (first == 0) {
            return {};
        }
        if (first == 0xFFFF) {
            uint16_t number = Read<uint16_t>();
            if (ordinal) {
                *ordinal = number;
            }
            std::string digits = "#" + std::to_string(number);
            return std::u16string(digits.begin(), digits.end());
        }
        offset_ -= 2;
        return String();
    }
    void AlignToDword() { offset_ = (offset_ + 3) & ~size_t(3); }

private:
    const uint8_t* data_;
    size_t offset_ = 0;
};

DialogTemplate ReadTemplate(const void* resource) {
    TemplateReader reader(static_cast<const uint8_t*>(resource));
    DialogTemplate dialog;
    dialog.version = reader.Read<uint16_t>();
    dialog.signature = reader.Read<uint16_t>();
    reader.Read<uint32_t>();  // help id
    dialog.ex_style = reader.Read<uint32_t>();
    dialog.style = reader.Read<uint32_t>();
    uint16_t count = reader.Read<uint16_t>();
    dialog.x = reader.Read<int16_t>();
    dialog.y = reader.Read<int16_t>();
    dialog.cx = reader.Read<int16_t>();
    dialog.cy = reader.Read<int16_t>();
    dialog.menu = reader.NameOrOrdinal();
    dialog.window_class = reader.NameOrOrdinal();
    dialog.caption = reader.String();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.point_size = reader.Read<uint16_t>();
        dialog.weight = reader.Read<uint16_t>();
        dialog.italic = reader.Read<uint8_t>();
        dialog.charset = reader.Read<uint8_t>();
        dialog.typeface = reader.String();
    }
    for (uint16_t i = 0; i < count; ++i) {
        reader.AlignToDword();
        DialogTemplate::Control control;
        reader.Read<uint32_t>();  // help id
        control.ex_style = reader.Read<uint32_t>();
        control.style = reader.Read<uint32_t>();
        control.x = reader.Read<int16_t>();
        control.y = reader.Read<int16_t>();
        control.cx = reader.Read<int16_t>();
        control.cy = reader.Read<int16_t>();
        control.id = reader.Read<uint32_t>();
        reader.NameOrOrdinal(&control.class_atom);
        control.text = reader.NameOrOrdinal();
        uint16_t extra = reader.Read<uint16_t>();
        for (uint16_t byte = 0; byte < extra; ++byte) {
            reader.Read<uint8_t>();
        }
        dialog.controls.push_back(control);
    }
    return dialog;
}

const void* LoadTemplate(LANGID language) {
    HRSRC found =
        ::FindResourceExW(Launcher(), RT_DIALOG, MAKEINTRESOURCEW(IDD_LAUNCHER), language);
    if (!found) {
        return nullptr;
    }
    return ::LockResource(::LoadResource(Launcher(), found));
}

std::set<LANGID> TableLanguages(const MessageRow* table) {
    std::set<LANGID> languages;
    for (const MessageRow* row = table; row->text; ++row) {
        languages.insert(static_cast<LANGID>(row->language));
    }
    return languages;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
    reinterpret_cast<std::set<LANGID>*>(languages)->insert(language);
    return TRUE;
}

class LauncherResources : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Launcher()) << "cannot load "
                                << Utf8(BaseString(Utf16Ptr(LauncherExecutable().c_str())));
    }
};

TEST_F(LauncherResources, TheDialogTemplateExistsInTheLanguagesOfTheLaunchersTexts) {
    std::set<LANGID> languages;
    ASSERT_TRUE(::EnumResourceLanguagesW(Launcher(), RT_DIALOG, MAKEINTRESOURCEW(IDD_LAUNCHER),
                                         AddLanguage, reinterpret_cast<LONG_PTR>(&languages)));
    EXPECT_EQ(languages.size(), std::size(kProductLanguages));
    EXPECT_EQ(languages, TableLanguages(DialogTitleText));
}

TEST_F(LauncherResources, EveryLanguagesTemplateHasTheLaunchersLayoutAndItsFontCharacterSet) {
    std::map<LANGID, uint8_t> charsets;
    for (const ProductLanguage& entry : kProductLanguages) {
        charsets[static_cast<LANGID>(entry.id)] = entry.dialog_charset;
    }
    std::u16string english_check_box;
    for (LANGID language : TableLanguages(DialogTitleText)) {
        SCOPED_TRACE(testing::Message() << "language " << std::hex << language);
        const void* resource = LoadTemplate(language);
        ASSERT_TRUE(resource);
        DialogTemplate dialog = ReadTemplate(resource);
        EXPECT_EQ(dialog.version, 1);
        EXPECT_EQ(dialog.signature, 0xFFFF);
        EXPECT_EQ(dialog.style, 0x80CA084Cu);
        EXPECT_EQ(dialog.ex_style, 0x00040000u);
        EXPECT_EQ(dialog.x, 0);
        EXPECT_EQ(dialog.y, 0);
        EXPECT_EQ(dialog.cx, 440);
        EXPECT_EQ(dialog.cy, 311);
        EXPECT_EQ(dialog.menu, u"");
        EXPECT_EQ(dialog.window_class, u"");
        EXPECT_EQ(dialog.caption, u" ");
        EXPECT_EQ(dialog.point_size, 8);
        EXPECT_EQ(dialog.weight, 400);
        EXPECT_EQ(dialog.italic, 0);
        EXPECT_EQ(dialog.charset, charsets.at(language));
        EXPECT_EQ(dialog.typeface, u"MS Shell Dlg");

        ASSERT_EQ(dialog.controls.size(), 1u);
        const DialogTemplate::Control& check_box = dialog.controls[0];
        EXPECT_EQ(check_box.id, static_cast<uint32_t>(IDC_SHOW_ON_STARTUP));
        EXPECT_EQ(check_box.class_atom, 0x0080) << "BUTTON";
        EXPECT_EQ(check_box.style, 0x50000003u);
        EXPECT_EQ(check_box.ex_style, 0u);
        EXPECT_EQ(check_box.x, 7);
        EXPECT_EQ(check_box.y, 302);
        EXPECT_EQ(check_box.cx, 247);
        EXPECT_EQ(check_box.cy, 8);
        if (language == 0x0409) {
            english_check_box = check_box.text;
            EXPECT_EQ(check_box.text, u"Show this dialog on startup");
        } else {
            EXPECT_FALSE(check_box.text.empty());
            EXPECT_NE(check_box.text, u"Show this dialog on startup") << "translated";
        }
    }
}

INT_PTR CALLBACK DefaultProcessing(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The dialog manager takes the template: a hidden "#32770" window with the
// blank caption and the check box.
TEST_F(LauncherResources, TheTemplateMakesAHiddenDialogWindowWithItsCheckBox) {
    for (LANGID language : {LANGID(0x0409), LANGID(0x0411)}) {
        const void* resource = LoadTemplate(language);
        ASSERT_TRUE(resource);
        HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                                   static_cast<const DLGTEMPLATE*>(resource),
                                                   nullptr, DefaultProcessing, 0);
        ASSERT_TRUE(dialog);
        wchar_t text[64] = {};
        ::GetClassNameW(dialog, text, 64);
        EXPECT_STREQ(text, L"#32770");
        ::GetWindowTextW(dialog, text, 64);
        EXPECT_STREQ(text, L" ");
        EXPECT_FALSE(::IsWindowVisible(dialog));
        HWND check_box = ::GetDlgItem(dialog, IDC_SHOW_ON_STARTUP);
        ASSERT_TRUE(check_box);
        EXPECT_EQ(::SendMessageW(check_box, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON, DLGC_BUTTON);
        ::DestroyWindow(dialog);
    }
}

// The string of the id in the language's string table (16 strings a block,
// each counted in UTF-16 units); none without one.
std::optional<std::u16string> StringResource(LANGID language, unsigned id) {
    HRSRC found = ::FindResourceExW(Launcher(), RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!found) {
        return std::nullopt;
    }
    const auto* at =
        static_cast<const char16_t*>(::LockResource(::LoadResource(Launcher(), found)));
    for (unsigned skipped = 0; skipped < id % 16; ++skipped) {
        at += 1 + *at;
    }
    return std::u16string(at + 1, *at);
}

// AutoPlay's text for the launcher, which autorun.inf names as
// "action=@autorun.exe,-1": in every language of the launcher's texts, and
// loaded as the shell loads it, in the user's language.
TEST_F(LauncherResources, AutoPlaysTextInEveryLanguage) {
    std::set<LANGID> languages;
    ASSERT_TRUE(::EnumResourceLanguagesW(Launcher(), RT_STRING,
                                         MAKEINTRESOURCEW(IDS_AUTOPLAY_ACTION / 16 + 1),
                                         AddLanguage, reinterpret_cast<LONG_PTR>(&languages)));
    EXPECT_EQ(languages, TableLanguages(DialogTitleText));
    const std::u16string english = u"Show the installation menu";
    std::set<std::u16string> texts;
    for (LANGID language : languages) {
        SCOPED_TRACE(testing::Message() << "language " << std::hex << language);
        std::optional<std::u16string> text = StringResource(language, IDS_AUTOPLAY_ACTION);
        ASSERT_TRUE(text);
        if (language == 0x0409) {
            EXPECT_EQ(*text, english);
        } else {
            EXPECT_FALSE(text->empty());
            EXPECT_NE(*text, english) << "translated";
        }
        texts.insert(*text);
    }
    std::wstring reference =
        L"@" + LauncherExecutable() + L",-" + std::to_wstring(IDS_AUTOPLAY_ACTION);
    wchar_t loaded[256] = {};
    ASSERT_EQ(::SHLoadIndirectString(reference.c_str(), loaded, std::size(loaded), nullptr), S_OK);
    std::u16string shown(reinterpret_cast<const char16_t*>(loaded));
    EXPECT_TRUE(texts.contains(shown));
    LANGID user = ::GetUserDefaultUILanguage();
    if (languages.contains(user)) {
        EXPECT_EQ(shown, *StringResource(user, IDS_AUTOPLAY_ACTION));
    }
}

// The manifest is resource 1, so the system reads it when the launcher starts;
// the system's own parser must take it.
TEST_F(LauncherResources, TheManifestIsTheExecutablesAndTheSystemTakesIt) {
    HRSRC found = ::FindResourceW(Launcher(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_TRUE(found);
    std::string manifest(
        static_cast<const char*>(::LockResource(::LoadResource(Launcher(), found))),
        ::SizeofResource(Launcher(), found));
    for (const char* expected :
         {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
          "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"}) {
        EXPECT_NE(manifest.find(expected), std::string::npos) << expected;
    }
    std::wstring path = LauncherExecutable();
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    HANDLE context = ::CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << ::GetLastError();
    // Paths past MAX_PATH in the plain form where the system allows them.
    wchar_t setting[16] = {};
    SIZE_T written = 0;
    EXPECT_TRUE(::QueryActCtxSettingsW(0, context,
                                       L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                       L"longPathAware", setting, std::size(setting), &written))
        << ::GetLastError();
    EXPECT_STREQ(setting, L"true");
    // Aware of each monitor's DPI: version 2 from Windows 10 1703, version 1
    // from 1607, per monitor on Windows 8.1 and older 10 ("true/pm"), which
    // Windows 7 and 8 take as aware of the system's DPI.
    struct Setting {
        const wchar_t* space;
        const wchar_t* name;
        const wchar_t* value;
    } dpi_settings[] = {
        {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
         L"PerMonitorV2, PerMonitor"},
        {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true/pm"},
    };
    for (const Setting& dpi : dpi_settings) {
        wchar_t value[64] = {};
        EXPECT_TRUE(::QueryActCtxSettingsW(0, context, dpi.space, dpi.name, value, std::size(value),
                                           &written))
            << ::GetLastError();
        EXPECT_STREQ(value, dpi.value);
    }
    ::ReleaseActCtx(context);
}

TEST_F(LauncherResources, TheIconComesInTheSizesTheShellAsksFor) {
    for (int size : {16, 24, 32, 48, 64, 256}) {
        SCOPED_TRACE(size);
        HICON icon = static_cast<HICON>(
            ::LoadImageW(Launcher(), MAKEINTRESOURCEW(IDI_LAUNCHER), IMAGE_ICON, size, size, 0));
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP bitmap{};
        ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
}

// The numbers that the system shows and the texts of the file's properties
// come from one version.
TEST_F(LauncherResources, TheVersionResourceNamesTheProductAndOneVersion) {
    std::wstring path = LauncherExecutable();
    DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> data(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!::VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value),
                              &length)) {
            return std::wstring();
        }
        return std::wstring(value);
    };
    EXPECT_EQ(text(L"ProductName"), L"Orvella Autorun");
    EXPECT_EQ(text(L"OriginalFilename"), L"autorun.exe");
    std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                           std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                           std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(text(L"FileVersion"), numbers);
    EXPECT_EQ(text(L"ProductVersion"), numbers);
}

// The files of a medium that the build makes for Windows: the launcher, the
// DLLs beside it, and the plug-ins as the build lists them for make-medium.sh
// (paths of the build machine, which Wine shows on drive Z:).
std::vector<std::wstring> MediumFiles() {
    std::wstring launcher = LauncherExecutable();
    std::wstring folder = launcher.substr(0, launcher.rfind(L'\\'));
    std::vector<std::wstring> files{launcher};
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*.dll").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            files.push_back(folder + L"\\" + found.cFileName);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    std::wstring build = folder.substr(0, folder.rfind(L"\\src\\launcher"));
    std::ifstream list(std::filesystem::path(build + L"\\medium-plugins.txt"));
    for (std::string line; std::getline(list, line);) {
        if (!line.empty()) {
            std::wstring path = line.starts_with('/') ? L"Z:" : L"";
            for (char c : line) {
                path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
            }
            files.push_back(path);
        }
    }
    return files;
}

// Started from a disc or a network share, every one of them is copied to the
// swap file whole before it runs, so that a disc ejected or swapped while the
// menu is open is never paged from; the checksum in the header still holds.
TEST(MediumFiles, RunFromSwapOnRemovableMediaAndTheNetwork) {
    std::vector<std::wstring> files = MediumFiles();
    // The launcher, its C++ runtime and at least the sample plug-in.
    ASSERT_GE(files.size(), 3u);
    for (const std::wstring& file : files) {
        std::string name = Utf8(BaseString(Utf16Ptr(file.c_str())));
        std::ifstream in(std::filesystem::path(file), std::ios::binary);
        std::vector<char> image((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        ASSERT_GE(image.size(), sizeof(IMAGE_DOS_HEADER)) << name;
        IMAGE_DOS_HEADER dos;
        std::memcpy(&dos, image.data(), sizeof(dos));
        IMAGE_FILE_HEADER header;
        ASSERT_LE(dos.e_lfanew + 4 + sizeof(header), image.size()) << name;
        std::memcpy(&header, image.data() + dos.e_lfanew + 4, sizeof(header));
        EXPECT_EQ(header.Characteristics & IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP,
                  IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP)
            << name;
        EXPECT_EQ(header.Characteristics & IMAGE_FILE_NET_RUN_FROM_SWAP,
                  IMAGE_FILE_NET_RUN_FROM_SWAP)
            << name;

        DWORD in_header = 0;
        DWORD computed = 0;
        ASSERT_EQ(::MapFileAndCheckSumW(file.c_str(), &in_header, &computed),
                  static_cast<DWORD>(CHECKSUM_SUCCESS))
            << name;
        EXPECT_NE(in_header, 0u) << name << " (the linker writes one)";
        EXPECT_EQ(in_header, computed) << name;
    }
}

}  // namespace
