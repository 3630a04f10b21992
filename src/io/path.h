#pragma once

#include <cstdint>

#include "base/string.h"
#include "io/file.h"
#include "io/folder.h"
#include "io/uri.h"
#include "object/ref.h"

namespace Io {

// openFile's share: what others may do with the file while it is open.
enum class Share : uint32_t { kNone = 0, kRead = 1, kWrite = 2 };
ORV_FLAG_SET_OPERATORS(Share)

// openFile's if-exists and if-missing. The valid pairs (if-missing, if-exists):
// (0, 1) open an existing file, (0, 2) truncate an existing file, (2, 0) create
// a new file, (2, 1) open or create, (2, 2) create or truncate.
inline constexpr uint32_t kIfExistsFail = 0;
inline constexpr uint32_t kIfExistsOpen = 1;
inline constexpr uint32_t kIfExistsTruncate = 2;
inline constexpr uint32_t kIfMissingFail = 0;
inline constexpr uint32_t kIfMissingCreate = 2;

// What `type` finds at a path.
inline constexpr uint32_t kTypeNone = 0;
inline constexpr uint32_t kTypeFile = 1;
inline constexpr uint32_t kTypeFolder = 2;

// Which time stamp `time` and `setTime` mean.
inline constexpr uint32_t kTimeLastWrite = 0;
inline constexpr uint32_t kTimeCreation = 1;
inline constexpr uint32_t kTimeLastAccess = 2;

// An absolute, normalised file-system path; it never changes. The text is a
// root ("C:", "\\server\share" or "/") followed by components, one separator
// before each ("\" on Windows, "/" elsewhere).
class Path : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Path"};
    using Parent = BaseFace;

    virtual BaseString text() = 0;
    // The last component, "" for a root.
    virtual BaseString name() = 0;
    // The text before the last separator, none for a root.
    virtual Ref<Path> parentFolder() = 0;
    // A name with a root alone, otherwise this path, a separator and the name,
    // normalised ("badpath '%s'" when that fails).
    virtual Ref<Path> resolve(const BaseString& name) = 0;
    virtual Ref<Path> root() = 0;

    // kTypeNone, kTypeFile or kTypeFolder. Never throws.
    virtual uint32_t type() = 0;
    // The time stamp as a 64-bit file time (100 ns since 1601), 0 when nothing is
    // at the path or `which` is unknown. Never throws.
    virtual uint64_t time(uint32_t which) = 0;
    // Sets a time stamp of an existing file; does nothing for a folder, a path
    // that cannot be opened or an unknown `which`.
    virtual void setTime(uint32_t which, uint64_t file_time) = 0;

    // Access and share with bits beyond read and write count as none.
    virtual Ref<File> openFile(Access access, Share share, uint32_t if_exists,
                               uint32_t if_missing) = 0;
    // The folder at this path: opened when it exists and `open_existing` is set,
    // created when it is missing and `create` is set (with its missing parents
    // when `create_parents` is set too).
    virtual Ref<Folder> folder(bool open_existing, bool create, bool create_parents) = 0;
    // Deletes the file or folder at the path (a folder's entries first when
    // `recursive`); nothing at the path is not an error.
    virtual void remove(bool recursive) = 0;
};

}  // namespace Io
