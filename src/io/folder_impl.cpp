#include "io/folder_impl.h"

#include <vector>

#include "base/platform.h"
#include "error/error.h"
#include "io/file_messages.h"
#include "io/file_system.h"

namespace Io::Fs {

namespace {

constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorAlreadyExists = 183;

// Creates the missing folder at the path and, with `create_parents`, its
// missing parents, top down. When one creation fails, the folders made so far
// are removed again and the failure's error is left as the last error.
bool CreateFolderChain(const BaseString& path, bool create_parents) {
    PathStyle style = FileSystem::NativeStyle();
    std::vector<BaseString> missing;  // the path first, then upwards
    for (BaseString current = path; current.length() > RootLength(current, style);
         current = BaseString(ParentText(current, style))) {
        FileSystem::EntryKind kind = FileSystem::GetEntryKind(current);
        if (FileSystem::IsFolder(kind)) {
            break;
        }
        if (kind == FileSystem::EntryKind::kFile) {
            Base::SetLastError(kErrorPathNotFound);
            return false;
        }
        missing.push_back(current);
    }
    if (missing.empty()) {
        return false;
    }
    if (missing.size() > 1 && !create_parents) {
        Base::SetLastError(kErrorPathNotFound);
        return false;
    }
    for (size_t index = missing.size(); index-- > 0;) {
        if (!FileSystem::CreateFolder(missing[index])) {
            uint32_t error = Base::LastError();
            for (size_t created = index + 1; created < missing.size(); ++created) {
                FileSystem::RemoveFolder(missing[created]);
            }
            Base::SetLastError(error);
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<BaseString> FolderImpl::list(const BaseString& pattern, const Ref<Filter>& filter) {
    std::vector<BaseString> names =
        FileSystem::ListFolder(path_, pattern.empty() ? BaseString(u"*.*") : pattern);
    if (filter) {
        std::erase_if(names, [&](const BaseString& name) { return !filter->accept(name); });
    }
    return names;
}

Ref<Io::Folder> OpenFolder(const BaseString& path, bool open_existing, bool create,
                           bool create_parents) {
    FileSystem::EntryKind kind = FileSystem::GetEntryKind(path);
    if (kind == FileSystem::EntryKind::kFile) {
        Base::SetLastError(kErrorAccessDenied);
        throw Error::FromFile(CannotAccessFolderText, path);
    }
    if (FileSystem::IsFolder(kind)) {
        if (!open_existing) {
            Base::SetLastError(kErrorAlreadyExists);
            throw Error::FromFile(CannotCreateFolderText, path);
        }
    } else if (!create) {
        throw Error::FromFile(CannotAccessFolderText, path);
    } else if (!CreateFolderChain(path, create_parents)) {
        throw Error::FromFile(CannotCreateFolderText, path);
    }
    return Object::New<FolderImpl>(path);
}

}  // namespace Io::Fs
