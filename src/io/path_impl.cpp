#include "io/path_impl.h"

#include "base/platform.h"
#include "error/error.h"
#include "io/file_impl.h"
#include "io/file_messages.h"
#include "io/file_system.h"
#include "io/file_uri.h"
#include "io/folder_impl.h"
#include "object/manager.h"

namespace Io::Fs {

namespace {

constexpr uint32_t kErrorFileNotFound = 2;

static_assert(static_cast<uint32_t>(FileSystem::TimeKind::kCreation) == kTimeCreation &&
              static_cast<uint32_t>(FileSystem::TimeKind::kLastAccess) == kTimeLastAccess);

bool IsKnownTime(uint32_t which) {
    return which <= kTimeLastAccess;
}

bool IsNotFound(uint32_t error) {
    return error == 2 || error == 3;
}

void RemoveEntry(const BaseString& path, bool recursive) {
    FileSystem::EntryKind kind = FileSystem::GetEntryKind(path);
    switch (kind) {
        case FileSystem::EntryKind::kNone:
            // Nothing to remove; but a lookup that failed for another reason
            // (access denied) must not pass for success.
            if (!IsNotFound(Base::LastError())) {
                throw Error::FromFile(DeleteFileFailedText, path);
            }
            return;
        case FileSystem::EntryKind::kFile:
            if (!FileSystem::RemoveFile(path) && Base::LastError() != kErrorFileNotFound) {
                throw Error::FromFile(DeleteFileFailedText, path);
            }
            return;
        case FileSystem::EntryKind::kFolder:
        case FileSystem::EntryKind::kFolderLink:
            break;
    }
    // A link is removed as itself: what it leads to is not ours to empty.
    if (recursive && kind == FileSystem::EntryKind::kFolder) {
        PathStyle style = FileSystem::NativeStyle();
        // Listed names are joined as they are, never parsed: on POSIX a name may
        // hold a "\" that the path grammar would read as a separator.
        for (const BaseString& name : FileSystem::ListFolder(path, u"*.*")) {
            RemoveEntry(ChildText(path, name, style), true);
        }
    }
    if (!FileSystem::RemoveFolder(path) && Base::LastError() != kErrorFileNotFound) {
        throw Error::FromFile(RemoveFolderFailedText, path);
    }
}

}  // namespace

BaseString PathImpl::name() {
    return BaseString(LastComponent(text_, FileSystem::NativeStyle()));
}

Ref<Path> PathImpl::parentFolder() {
    std::u16string_view parent = ParentText(text_, FileSystem::NativeStyle());
    if (parent.empty()) {
        return {};
    }
    return Object::New<PathImpl>(BaseString(parent));
}

Ref<Path> PathImpl::resolve(const BaseString& name) {
    return MakePath(ResolveText(text_, name, FileSystem::NativeStyle()), false);
}

Ref<Path> PathImpl::root() {
    return Object::New<PathImpl>(text_.Substr(0, RootLength(text_, FileSystem::NativeStyle())));
}

uint32_t PathImpl::type() {
    FileSystem::EntryKind kind = FileSystem::GetEntryKind(text_);
    if (kind == FileSystem::EntryKind::kNone) {
        return kTypeNone;
    }
    return FileSystem::IsFolder(kind) ? kTypeFolder : kTypeFile;
}

uint64_t PathImpl::time(uint32_t which) {
    return IsKnownTime(which) ? FileSystem::GetTime(text_, static_cast<FileSystem::TimeKind>(which))
                              : 0;
}

void PathImpl::setTime(uint32_t which, uint64_t file_time) {
    if (IsKnownTime(which)) {
        FileSystem::SetTime(text_, static_cast<FileSystem::TimeKind>(which), file_time);
    }
}

Ref<File> PathImpl::openFile(Access access, Share share, uint32_t if_exists, uint32_t if_missing) {
    return OpenFile(text_, access, share, if_exists, if_missing);
}

Ref<Folder> PathImpl::folder(bool open_existing, bool create, bool create_parents) {
    return OpenFolder(text_, open_existing, create, create_parents);
}

void PathImpl::remove(bool recursive) {
    RemoveEntry(text_, recursive);
}

Ref<Uri> PathImpl::uri() {
    return Object::Create<Uri::Creator>(kUriCreatorClsid)->create(FileUriComponents(text_));
}

Ref<PathImpl> MakePath(std::u16string_view name, bool quiet) {
    PathStyle style = FileSystem::NativeStyle();
    BaseString current_directory =
        HasRoot(name, style) ? BaseString() : FileSystem::CurrentDirectory();
    BaseString text = NormalizePath(name, current_directory, style);
    if (text.empty()) {
        if (quiet) {
            return {};
        }
        throw Error::Internal("badpath '%s'", "fs", name);
    }
    return Object::New<PathImpl>(std::move(text));
}

}  // namespace Io::Fs
