#include <algorithm>
#include <vector>

#include "base/long_path_win.h"
#include "base/platform.h"
#include "base/win.h"

#include <psapi.h>
#include <winver.h>

#include "object/dll.h"
#include "object/library_search_win.h"
#include "object/plugin_version.h"

namespace Object {

namespace {

// Critical-error dialogs off for the life of the scope, the process's other
// flags kept, then the mode as it was.
class QuietErrorMode {
public:
    QuietErrorMode() : previous_(::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS)) {}
    ~QuietErrorMode() { ::SetErrorMode(previous_); }
    QuietErrorMode(const QuietErrorMode&) = delete;
    QuietErrorMode& operator=(const QuietErrorMode&) = delete;

private:
    UINT previous_;
};

// The platform's version functions. version.dll is no known library of the
// system: imported, it would be looked for beside the program first
// (library_search_win.h).
struct VersionFunctions {
    using SizeFunction = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

    SizeFunction size = nullptr;
    InfoFunction info = nullptr;
    QueryFunction query = nullptr;

    static const VersionFunctions& Get() {
        static const VersionFunctions functions = [] {
            VersionFunctions loaded;
            if (HMODULE version = LoadSystemLibrary(L"version.dll")) {
                loaded.size = reinterpret_cast<SizeFunction>(
                    reinterpret_cast<void*>(::GetProcAddress(version, "GetFileVersionInfoSizeW")));
                loaded.info = reinterpret_cast<InfoFunction>(
                    reinterpret_cast<void*>(::GetProcAddress(version, "GetFileVersionInfoW")));
                loaded.query = reinterpret_cast<QueryFunction>(
                    reinterpret_cast<void*>(::GetProcAddress(version, "VerQueryValueW")));
            }
            return loaded;
        }();
        return functions;
    }
};

// The version resource of a file, read with the platform's version functions.
class ResourceVersionStrings final : public VersionStrings {
public:
    // False when the file has no version resource (or the system no version
    // functions).
    bool Read(const BaseString& path) {
        const VersionFunctions& functions = VersionFunctions::Get();
        if (!functions.size || !functions.info || !functions.query) {
            return false;
        }
        BaseString file = LongPathText(path);
        DWORD ignored = 0;
        DWORD size = functions.size(WidePtr(file.c_str()), &ignored);
        if (size == 0) {
            return false;
        }
        block_.resize(size);
        return functions.info(WidePtr(file.c_str()), 0, size, block_.data()) != FALSE;
    }

    std::vector<Translation> Translations() const override {
        void* pairs = nullptr;
        UINT bytes = 0;
        std::vector<Translation> translations;
        if (Query(u"\\VarFileInfo\\Translation", &pairs, &bytes)) {
            const auto* words = static_cast<const WORD*>(pairs);
            for (UINT i = 0; i + 1 < bytes / sizeof(WORD); i += 2) {
                translations.push_back({words[i], words[i + 1]});
            }
        }
        return translations;
    }

    std::optional<BaseString> Find(const Translation& translation,
                                   std::u16string_view name) const override {
        void* text = nullptr;
        UINT length = 0;
        if (!Query(StringSubBlock(translation, name).c_str(), &text, &length)) {
            return std::nullopt;
        }
        auto* characters = static_cast<const char16_t*>(text);
        std::u16string_view value(characters, length);
        return BaseString(value.substr(0, value.find(u'\0')));
    }

private:
    bool Query(const char16_t* sub_block, void** value, UINT* length) const {
        return VersionFunctions::Get().query(block_.data(), WidePtr(sub_block), value, length) &&
               *value;
    }

    std::vector<uint8_t> block_;
};

bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, WidePtr(a.data()),
                            static_cast<int>(a.size()), WidePtr(b.data()),
                            static_cast<int>(b.size())) == CSTR_EQUAL;
}

// A plug-in imports the runtime from the program it was built for, by that
// program's file name: loaded into another program, it would have the loader
// map that program beside this one as a library whose runtime never started.
// Its version strings name the program; a plug-in that names none is taken as
// built for any.
bool IsBuiltForThisProgram(const VersionStrings& strings) {
    BaseString program = Base::ExecutablePath();
    for (const Translation& translation : strings.Translations()) {
        if (std::optional<BaseString> host = strings.Find(translation, u"HostProgram")) {
            return host->empty() || SameNameIgnoringCase(*host, Base::LastComponentOf(program));
        }
    }
    return true;
}

// The activation context of the program's manifest, so that a plug-in's own
// dependencies resolve as the program's do whatever context the calling thread
// has active; none when the program has no manifest.
HANDLE ProgramActivationContext() {
    static const HANDLE context = [] {
        BaseString program = Base::ExecutablePath();
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = WidePtr(program.c_str());
        request.hModule = ::GetModuleHandleW(nullptr);
        request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
        return ::CreateActCtxW(&request);
    }();
    return context;
}

class ActivationScope {
public:
    explicit ActivationScope(HANDLE context)
        : active_(context != INVALID_HANDLE_VALUE && ::ActivateActCtx(context, &cookie_)) {}
    ~ActivationScope() {
        if (active_) {
            ::DeactivateActCtx(0, cookie_);
        }
    }
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_;
};

using AreMappedFilesTheSameFunction = LONG(NTAPI*)(PVOID, PVOID);

AreMappedFilesTheSameFunction AreMappedFilesTheSame() {
    static const auto function =
        reinterpret_cast<AreMappedFilesTheSameFunction>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"NTDLL.DLL"), "NtAreMappedFilesTheSame")));
    return function;
}

// The modules of the process now; none when they cannot be listed.
std::optional<std::vector<HMODULE>> LoadedModules() {
    std::vector<HMODULE> modules(256);
    for (;;) {
        DWORD bytes = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
        DWORD needed = 0;
        if (!::K32EnumProcessModules(::GetCurrentProcess(), modules.data(), bytes, &needed)) {
            return std::nullopt;
        }
        if (needed <= bytes) {
            modules.resize(needed / sizeof(HMODULE));
            return modules;
        }
        modules.resize(needed / sizeof(HMODULE) + 16);
    }
}

// Whether the loaded module is an image of the file now at the path; true when
// the platform cannot tell.
bool IsModuleOfFile(HMODULE module, const BaseString& path) {
    AreMappedFilesTheSameFunction same_files = AreMappedFilesTheSame();
    if (!same_files) {
        return true;
    }
    HANDLE file =
        ::CreateFileW(WidePtr(LongPathText(path).c_str()), GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool same = false;
    if (HANDLE mapping =
            ::CreateFileMappingW(file, nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr)) {
        if (void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
            same = same_files(module, view) == 0;
            ::UnmapViewOfFile(view);
        }
        ::CloseHandle(mapping);
    }
    ::CloseHandle(file);
    return same;
}

}  // namespace

DllLoad LoadDll(const BaseString& path) {
    QuietErrorMode quiet;
    ResourceVersionStrings strings;
    if (!strings.Read(path) ||
        !IsPluginLibrary(strings, Base::LastComponentOf(path), SameNameIgnoringCase) ||
        !IsBuiltForThisProgram(strings)) {
        return {nullptr, true};
    }
    std::optional<std::vector<HMODULE>> before = LoadedModules();
    HMODULE module;
    {
        ActivationScope activation(ProgramActivationContext());
        module = ::LoadLibraryExW(WidePtr(LongPathText(path).c_str()), nullptr, PluginLoadFlags());
    }
    if (!module) {
        return {nullptr, false};
    }
    auto dll = std::make_unique<Dll>(module);
    // A module already loaded from that path is answered even when the file there
    // has changed since: then it must still be an image of that file. A module
    // this load mapped is the file checked; it is not compared, as whether the
    // system counts an image copied to the swap file (a medium's files run from
    // swap) as its file is the system's own affair.
    bool loaded_before =
        !before || std::find(before->begin(), before->end(), module) != before->end();
    if (loaded_before && !IsModuleOfFile(module, path)) {
        return {nullptr, false};
    }
    if (!dll->HasEntryPoints()) {
        return {nullptr, true};
    }
    return {std::move(dll), true};
}

Dll::~Dll() {
    if (!keep_loaded_) {
        ::FreeLibrary(static_cast<HMODULE>(handle_));
    }
}

void (*Dll::Entry(const char* name) const)() {
    return reinterpret_cast<void (*)()>(
        reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name)));
}

std::optional<uint64_t> LastWriteTime(const BaseString& path) {
    QuietErrorMode quiet;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(WidePtr(LongPathText(path).c_str()), GetFileExInfoStandard,
                                &data)) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 |
           data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace Object
