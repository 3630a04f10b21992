#pragma once

#include <cstdint>
#include <mutex>

#include "base/string.h"
#include "io/file.h"
#include "io/native_file.h"
#include "object/impl.h"

struct MessageRow;

namespace Io::Fs {

// An open file with one lock: each operation holds it for the whole call.
class FileImpl final : public Object::Impl<FileImpl, Io::File> {
public:
    FileImpl(NativeFile file, Access access, BaseString path)
        : file_(std::move(file)), access_(access), path_(std::move(path)) {}

    Access access() override { return access_; }
    Ref<Io::Source> source() override;
    Ref<Io::Sink> sink() override;
    uint64_t size() override;
    void setSize(uint64_t size) override;
    ByteBuffer read(uint64_t offset, uint32_t count) override;
    void write(uint64_t offset, const ByteBuffer& bytes) override;
    void flush() override;

    // `read` into the given buffer, whose storage is reused when it holds it
    // alone: a source that reads chunk after chunk then allocates nothing.
    void ReadInto(uint64_t offset, uint32_t count, ByteBuffer& bytes);

private:
    // The Error of the failed platform call just made, with the path.
    [[noreturn]] void Fail(const MessageRow* message) const;

    NativeFile file_;
    const Access access_;
    const BaseString path_;
    std::mutex lock_;
};

// Opens the file at a normalised path. Access and share with bits beyond read
// and write count as none. The pairs of if-missing and if-exists
// are those of Io::Path::openFile; other pairs, and an existing file that
// if-exists 0 refuses, fail with platform error 2 (file not found) or 80 (file
// exists), a folder at the path, and truncating without write access, with 5
// (access denied).
Ref<Io::File> OpenFile(const BaseString& path, Access access, Share share, uint32_t if_exists,
                       uint32_t if_missing);

}  // namespace Io::Fs
