#include "io/file_impl.h"

#include <algorithm>
#include <optional>

#include "base/platform.h"
#include "error/error.h"
#include "io/file_messages.h"
#include "io/file_stream.h"
#include "io/file_system.h"
#include "io/path.h"

namespace Io::Fs {

namespace {

constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorWriteFault = 29;
constexpr uint32_t kErrorFileExists = 80;

// The largest piece handed to one platform write.
constexpr size_t kMaxWriteSize = size_t{1} << 30;

std::optional<NativeFile::Disposition> DispositionOf(uint32_t if_missing, uint32_t if_exists) {
    using Disposition = NativeFile::Disposition;
    if (if_missing == kIfMissingFail && if_exists == kIfExistsOpen) {
        return Disposition::kOpenExisting;
    }
    if (if_missing == kIfMissingFail && if_exists == kIfExistsTruncate) {
        return Disposition::kTruncateExisting;
    }
    if (if_missing == kIfMissingCreate && if_exists == kIfExistsFail) {
        return Disposition::kCreateNew;
    }
    if (if_missing == kIfMissingCreate && if_exists == kIfExistsOpen) {
        return Disposition::kOpenAlways;
    }
    if (if_missing == kIfMissingCreate && if_exists == kIfExistsTruncate) {
        return Disposition::kCreateAlways;
    }
    return std::nullopt;
}

template <typename Set>
Set ReadWriteOrNone(Set set) {
    return (set & (Set::kRead | Set::kWrite)) == set ? set : Set::kNone;
}

}  // namespace

Ref<Io::File> OpenFile(const BaseString& path, Access access, Share share, uint32_t if_exists,
                       uint32_t if_missing) {
    access = ReadWriteOrNone(access);
    share = ReadWriteOrNone(share);
    FileSystem::EntryKind kind = FileSystem::GetEntryKind(path);
    std::optional<NativeFile::Disposition> disposition = DispositionOf(if_missing, if_exists);
    if (FileSystem::IsFolder(kind)) {
        Base::SetLastError(kErrorAccessDenied);
        throw Error::FromFile(CannotOpenFileText, path);
    }
    bool exists = kind != FileSystem::EntryKind::kNone;
    if (!disposition || (exists && if_exists == kIfExistsFail)) {
        Base::SetLastError(exists ? kErrorFileExists : kErrorFileNotFound);
        throw Error::FromFile(CannotOpenFileText, path);
    }
    // Opening an existing file to truncate it needs write access: without it, the
    // platforms either refuse or would cut the file anyway.
    if (exists && *disposition == NativeFile::Disposition::kTruncateExisting &&
        !Base::HasFlags(access, Access::kWrite)) {
        Base::SetLastError(kErrorAccessDenied);
        throw Error::FromFile(CannotOpenFileText, path);
    }
    NativeFile file;
    if (!file.Open(path, static_cast<uint32_t>(access), static_cast<uint32_t>(share),
                   *disposition)) {
        throw Error::FromFile(
            if_missing == kIfMissingCreate ? CannotCreateFileText : CannotOpenFileText, path);
    }
    return Object::New<FileImpl>(std::move(file), access, path);
}

void FileImpl::Fail(const MessageRow* message) const {
    throw Error::FromFile(message, path_);
}

Ref<Io::Source> FileImpl::source() {
    if (!Base::HasFlags(access_, Access::kRead)) {
        throw Error::Internal("source-on-nonrfile", "fs");
    }
    return NewFileSource(Ref<FileImpl>::Share(this), size());
}

Ref<Io::Sink> FileImpl::sink() {
    if (!Base::HasFlags(access_, Access::kWrite)) {
        throw Error::Internal("sink-on-nonwfile", "fs");
    }
    return NewFileSink(Ref<Io::File>::Share(this));
}

uint64_t FileImpl::size() {
    std::lock_guard hold(lock_);
    uint64_t size = 0;
    if (!file_.GetSize(size)) {
        Fail(ReadFileFailedText);
    }
    return size;
}

void FileImpl::setSize(uint64_t size) {
    std::lock_guard hold(lock_);
    if (!file_.SetSize(size)) {
        Fail(WriteFileFailedText);
    }
}

ByteBuffer FileImpl::read(uint64_t offset, uint32_t count) {
    ByteBuffer bytes;
    ReadInto(offset, count, bytes);
    return bytes;
}

void FileImpl::ReadInto(uint64_t offset, uint32_t count, ByteBuffer& bytes) {
    count = std::min(count, kMaxReadSize);
    uint8_t* storage = bytes.ResetForOverwrite(count);
    uint32_t done = 0;
    {
        std::lock_guard hold(lock_);
        if (!file_.ReadAt(offset, storage, count, done)) {
            Fail(ReadFileFailedText);
        }
    }
    if (done == 0) {
        bytes.Clear();
    } else {
        bytes.Resize(done);
    }
}

void FileImpl::write(uint64_t offset, const ByteBuffer& bytes) {
    std::lock_guard hold(lock_);
    size_t written = 0;
    while (written < bytes.size()) {
        uint32_t piece = static_cast<uint32_t>(std::min(bytes.size() - written, kMaxWriteSize));
        uint32_t done = 0;
        if (!file_.WriteAt(offset + written, bytes.data() + written, piece, done)) {
            Fail(WriteFileFailedText);
        }
        if (done == 0) {
            // A write that moves nothing would repeat forever.
            Base::SetLastError(kErrorWriteFault);
            Fail(WriteFileFailedText);
        }
        written += done;
    }
}

void FileImpl::flush() {
    std::lock_guard hold(lock_);
    if (!file_.Flush()) {
        Fail(WriteFileFailedText);
    }
}

}  // namespace Io::Fs
