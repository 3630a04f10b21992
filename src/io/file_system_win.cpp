#include "io/file_system.h"

#include "base/win.h"
#include "io/file_api_win.h"

namespace Io::FileSystem {

namespace {

uint64_t FromFileTime(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME ToFileTime(uint64_t time) {
    return {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
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
