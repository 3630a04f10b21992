#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/win.h"
#include "object/dll.h"
#include "object/library.h"
#include "object/manager.h"
#include "plugin_files.h"
#include "temp_folder.h"

namespace {

using LoadedInContext = bool (*)();

bool ProbeLoadedInContext(HMODULE module) {
    auto probe = reinterpret_cast<LoadedInContext>(
        reinterpret_cast<void*>(::GetProcAddress(module, "ContextProbe_LoadedInContext")));
    return probe && probe();
}

// This program has a manifest, as the launcher has: a plug-in is loaded inside
// the program's activation context, which a plain load on this thread is not.
TEST(PluginLibrariesOnWindows, LoadInsideTheProgramsActivationContext) {
    BaseString path(Built(u"context_probe").u16string());
    auto creator =
        Object::Create<Object::Library::Creator>(BaseString(Object::kLibraryCreatorClsid));
    Ref<Object::Library> library = creator->CreateLibrary(path);
    ASSERT_TRUE(library);
    EXPECT_TRUE(ProbeLoadedInContext(::GetModuleHandleW(WidePtr(path.c_str()))));
    library.Reset();
    ASSERT_EQ(::GetModuleHandleW(WidePtr(path.c_str())), nullptr);

    HMODULE plain = ::LoadLibraryW(WidePtr(path.c_str()));
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(ProbeLoadedInContext(plain));
    ::FreeLibrary(plain);
}

// A plug-in imports the runtime from the program it was built for: another
// program refuses it without loading it (the loader would map that program as
// a library).
TEST(PluginLibrariesOnWindows, RefuseAPluginBuiltForAnotherProgram) {
    BaseString path(Built(u"other_host").u16string());
    auto creator =
        Object::Create<Object::Library::Creator>(BaseString(Object::kLibraryCreatorClsid));
    EXPECT_FALSE(creator->CreateLibrary(path));
    EXPECT_EQ(::GetModuleHandleW(WidePtr(path.c_str())), nullptr);
}

// The libraries a plug-in needs come from its own folder, never from the
// current one.
TEST(PluginLibrariesOnWindows, FindTheLibrariesTheyNeedBesideThemNotInTheCurrentFolder) {
    TempFolder plugins, current;
    std::filesystem::copy_file(Built(u"load_fails"), plugins.Native(Plugin(u"load_fails")));
    std::filesystem::copy_file(Built(u"dependency"), current.Native(Plugin(u"dependency")));
    BaseString path(plugins.Native(Plugin(u"load_fails")).u16string());
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(current.Native(u""));
    EXPECT_FALSE(Object::LoadDll(path).dll);
    std::filesystem::copy_file(Built(u"dependency"), plugins.Native(Plugin(u"dependency")));
    EXPECT_TRUE(Object::LoadDll(path).dll);
    std::filesystem::current_path(previous);
}

// A file beside this program: its folder holds the test programs and the C++
// runtime's libraries.
std::filesystem::path Beside(const wchar_t* name) {
    std::filesystem::path program(std::u16string(Base::ExecutablePath().view()));
    return program.parent_path() / name;
}

// Runs the probe (by default the one beside this program) in `folder` with
// PATH prefixed by `path_folder`; its exit code.
DWORD RunSearchProbe(const std::wstring& arguments, const std::filesystem::path& folder,
                     const std::filesystem::path& path_folder,
                     const std::filesystem::path& probe = Beside(L"library_search_probe.exe")) {
    wchar_t saved[32767] = {};
    DWORD saved_length = ::GetEnvironmentVariableW(L"PATH", saved, 32767);
    ::SetEnvironmentVariableW(L"PATH", (path_folder.wstring() + L";" + saved).c_str());
    std::wstring command = L"\"" + probe.wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                    folder.wstring().c_str(), &startup, &process);
    ::SetEnvironmentVariableW(L"PATH", saved_length ? saved : nullptr);
    EXPECT_TRUE(started) << ::GetLastError();
    DWORD code = 99;
    if (started) {
        ::WaitForSingleObject(process.hProcess, 60000);
        ::GetExitCodeProcess(process.hProcess, &code);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    return code;
}

// A library lying in the current folder, in a folder on PATH or beside the
// program is found by name until the search is restricted, as the launcher
// does first: then only the system folder is searched. A system library the
// launcher loads comes from there, whatever of that name lies beside it.
TEST(LibrarySearch, TheRestrictedSearchTakesTheSystemFolderAlone) {
    TempFolder current, on_path, program;
    const std::filesystem::path library = Beside(L"libwinpthread-1.dll");
    std::filesystem::copy_file(library, current.Native(u"planted_here.dll"));
    std::filesystem::copy_file(library, on_path.Native(u"planted_on_path.dll"));
    const std::filesystem::path probe = program.Native(u"library_search_probe.exe");
    std::filesystem::copy_file(Beside(L"library_search_probe.exe"), probe);
    std::filesystem::copy_file(library, program.Native(u"planted_beside.dll"));
    for (TempFolder* folder : {&current, &program}) {
        std::filesystem::copy_file(library, folder->Native(u"version.dll"));
    }
    const std::filesystem::path folder = current.Native(u"");
    const std::filesystem::path path_folder = on_path.Native(u"");
    auto run = [&](const std::wstring& arguments) {
        return RunSearchProbe(arguments, folder, path_folder, probe);
    };
    EXPECT_EQ(run(L"planted_here.dll"), 0u);
    EXPECT_EQ(run(L"planted_on_path.dll"), 0u);
    EXPECT_EQ(run(L"planted_beside.dll"), 0u);
    EXPECT_EQ(run(L"restricted planted_here.dll"), 1u);
    EXPECT_EQ(run(L"restricted planted_on_path.dll"), 1u);
    EXPECT_EQ(run(L"restricted planted_beside.dll"), 1u);

    // Wine prefers its own library to a file of a system library's name
    // unless told otherwise for the program; Windows takes the file the search
    // finds.
    constexpr wchar_t kWineOverrides[] =
        L"Software\\Wine\\AppDefaults\\library_search_probe.exe\\DllOverrides";
    HKEY overrides = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kWineOverrides, 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &overrides, nullptr),
              ERROR_SUCCESS);
    constexpr wchar_t kNativeFirst[] = L"native,builtin";
    ::RegSetValueExW(overrides, L"version", 0, REG_SZ, reinterpret_cast<const BYTE*>(kNativeFirst),
                     sizeof kNativeFirst);
    ::RegCloseKey(overrides);
    EXPECT_EQ(run(L"version.dll GetFileVersionInfoSizeW"), 2u) << "the planted one";
    EXPECT_EQ(run(L"system version.dll GetFileVersionInfoSizeW"), 0u);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\library_search_probe.exe");
}

}  // namespace
