#include "io/file_system.h"

#include "base/environment.h"
#include "base/platform.h"
#include "base/win.h"
#include "io/file_api_win.h"
#include "io/local_folder_win.h"

namespace Io::FileSystem {

namespace {

uint64_t FromFileTime(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME ToFileTime(uint64_t time) {
    return {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
}

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    auto fold = [](char16_t c) {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    };
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

// The entries of a list separated by ";" (PATH, PATHEXT), empty ones too.
std::vector<std::u16string_view> SplitList(std::u16string_view list) {
    std::vector<std::u16string_view> entries;
    for (;;) {
        size_t end = list.find(u';');
        entries.push_back(list.substr(0, end));
        if (end == list.npos) {
            return entries;
        }
        list = list.substr(end + 1);
    }
}

bool IsDotOrDotDot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

}  // namespace

PathStyle NativeStyle() {
    return PathStyle::kWindows;
}

BaseString CurrentDirectory() {
    CriticalErrorsOff errors_off;
    DWORD needed = ::GetFullPathNameW(L".", 0, nullptr, nullptr);
    for (;;) {
        if (needed == 0) {
            return {};
        }
        std::u16string buffer(needed, u'\0');
        DWORD length = ::GetFullPathNameW(L".", needed, WidePtr(buffer.data()), nullptr);
        if (length < needed) {
            return BaseString(buffer.data(), length);
        }
        needed = length;
    }
}

EntryKind GetEntryKind(const BaseString& path) {
    CriticalErrorsOff errors_off;
    DWORD attributes = ::GetFileAttributesW(WidePtr(WindowsPathText(path).c_str()));
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return EntryKind::kNone;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return EntryKind::kFile;
    }
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? EntryKind::kFolderLink
                                                       : EntryKind::kFolder;
}

uint64_t GetTime(const BaseString& path, TimeKind which) {
    CriticalErrorsOff errors_off;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(WidePtr(WindowsPathText(path).c_str()), GetFileExInfoStandard,
                                &data)) {
        return 0;
    }
    switch (which) {
        case TimeKind::kLastWrite:
            return FromFileTime(data.ftLastWriteTime);
        case TimeKind::kCreation:
            return FromFileTime(data.ftCreationTime);
        case TimeKind::kLastAccess:
            return FromFileTime(data.ftLastAccessTime);
    }
    return 0;
}

void SetTime(const BaseString& path, TimeKind which, uint64_t file_time) {
    CriticalErrorsOff errors_off;
    HANDLE file = ::CreateFileW(WidePtr(WindowsPathText(path).c_str()), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    FILETIME time = ToFileTime(file_time);
    ::SetFileTime(file, which == TimeKind::kCreation ? &time : nullptr,
                  which == TimeKind::kLastAccess ? &time : nullptr,
                  which == TimeKind::kLastWrite ? &time : nullptr);
    ::CloseHandle(file);
}

bool GetAvailableSpace(const BaseString& path, uint64_t* bytes) {
    CriticalErrorsOff errors_off;
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExW(WidePtr(WindowsPathText(path).c_str()), &available, nullptr,
                               nullptr)) {
        return false;
    }
    *bytes = available.QuadPart;
    return true;
}

bool IsLocalFolder(std::u16string_view folder) {
    if (!Base::IsFullPath(folder)) {
        return false;
    }
    // The extended form of a drive's path, "\\?\X:\...", is the drive's.
    if (folder.starts_with(u"\\\\?\\") && folder.size() >= 6 && folder[5] == u':') {
        folder.remove_prefix(4);
    }
    if (folder[1] != u':') {
        return false;
    }
    // The drive's type comes from the process's device map, without asking
    // the drive.
    wchar_t root[] = {static_cast<wchar_t>(folder[0]), L':', L'\\', L'\0'};
    switch (::GetDriveTypeW(root)) {
        case DRIVE_FIXED:
        case DRIVE_REMOVABLE:
        case DRIVE_CDROM:
        case DRIVE_RAMDISK:
            return true;
        default:
            return false;
    }
}

BaseString FindProgram(const BaseString& name) {
    BaseString extensions_text = Base::EnvironmentVariable(u"PATHEXT").value_or(BaseString());
    if (extensions_text.empty()) {
        extensions_text = BaseString(u".COM;.EXE;.BAT;.CMD");
    }
    std::vector<std::u16string_view> extensions = SplitList(extensions_text.view());
    size_t dot = name.FindLast(u'.');
    std::vector<BaseString> names;
    if (dot == BaseString::npos) {
        for (std::u16string_view extension : extensions) {
            names.push_back(name + extension);
        }
    } else {
        for (std::u16string_view extension : extensions) {
            if (EqualIgnoringAsciiCase(name.view().substr(dot), extension)) {
                names.push_back(name);
            }
        }
    }
    if (names.empty()) {
        return {};
    }
    // One look at each folder finds every candidate: the name with any
    // extension, or the name itself.
    BaseString pattern = dot == BaseString::npos ? name + u".*" : name;
    BaseString search_path = Base::EnvironmentVariable(u"PATH").value_or(BaseString());
    CriticalErrorsOff errors_off;
    for (std::u16string_view folder : SplitList(search_path.view())) {
        // An entry may be quoted.
        if (folder.size() >= 2 && folder.front() == u'"' && folder.back() == u'"') {
            folder = folder.substr(1, folder.size() - 2);
        }
        // The conditions ask on the window's thread: a folder on the network
        // costs seconds when its server is gone, and one relative to the
        // current folder is the medium's, not the system's.
        if (folder.empty() || !IsLocalFolder(folder)) {
            continue;
        }
        BaseString prefix(folder);
        if (!folder.ends_with(u'\\') && !folder.ends_with(u'/')) {
            prefix += u'\\';
        }
        std::vector<BaseString> files;
        WIN32_FIND_DATAW data;
        HANDLE search =
            ::FindFirstFileExW(WidePtr(LongPathText(prefix + pattern.view()).c_str()),
                               FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
        if (search == INVALID_HANDLE_VALUE) {
            continue;
        }
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                files.emplace_back(Utf16Ptr(data.cFileName));
            }
        } while (::FindNextFileW(search, &data));
        ::FindClose(search);
        for (const BaseString& file_name : names) {
            for (const BaseString& file : files) {
                if (::CompareStringOrdinal(WidePtr(file.c_str()), -1, WidePtr(file_name.c_str()),
                                           -1, TRUE) == CSTR_EQUAL) {
                    return prefix + file_name.view();
                }
            }
        }
    }
    return {};
}

bool CreateFolder(const BaseString& path) {
    CriticalErrorsOff errors_off;
    return ::CreateDirectoryW(WidePtr(WindowsPathText(path).c_str()), nullptr);
}

bool RemoveFolder(const BaseString& path) {
    CriticalErrorsOff errors_off;
    return ::RemoveDirectoryW(WidePtr(WindowsPathText(path).c_str()));
}

bool RemoveFile(const BaseString& path) {
    CriticalErrorsOff errors_off;
    return ::DeleteFileW(WidePtr(WindowsPathText(path).c_str()));
}

std::vector<BaseString> ListFolder(const BaseString& path, const BaseString& pattern) {
    CriticalErrorsOff errors_off;
    std::vector<BaseString> names;
    BaseString query = path + u"\\";
    query += pattern;
    WIN32_FIND_DATAW data;
    HANDLE search = ::FindFirstFileW(WidePtr(LongPathText(query).c_str()), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!IsDotOrDotDot(data.cFileName)) {
            names.emplace_back(Utf16Ptr(data.cFileName));
        }
    } while (::FindNextFileW(search, &data));
    ::FindClose(search);
    return names;
}

}  // namespace Io::FileSystem
