#include "io/file_stream.h"

#include <algorithm>

#include "io/file_impl.h"
#include "object/impl.h"

namespace Io::Fs {

namespace {

// The position of a source or sink is its own and not locked: one thread uses
// it at a time, while the file serialises the calls of all of them.
class FileSourceImpl final : public Object::Impl<FileSourceImpl, Io::File::Source> {
public:
    FileSourceImpl(Ref<FileImpl> file, uint64_t end) : file_(std::move(file)), end_(end) {}

    bool atEnd() override { return position_ >= end_; }

    ByteBuffer read() override {
        if (atEnd()) {
            return {};
        }
        uint32_t count =
            static_cast<uint32_t>(std::min<uint64_t>(end_ - position_, Io::File::kMaxReadSize));
        // The chunk handed out last time is overwritten when its taker let it go.
        file_->ReadInto(position_, count, chunk_);
        if (chunk_.empty()) {
            end_ = position_;
        }
        position_ += chunk_.size();
        ByteBuffer bytes = chunk_;
        if (atEnd()) {
            chunk_.Clear();
        }
        return bytes;
    }

private:
    Ref<FileImpl> file_;
    uint64_t position_ = 0;
    uint64_t end_;
    ByteBuffer chunk_;
};

class FileSinkImpl final : public Object::Impl<FileSinkImpl, Io::File::Sink> {
public:
    explicit FileSinkImpl(Ref<Io::File> file) : file_(std::move(file)) {}

    void write(const ByteBuffer& bytes) override {
        file_->write(position_, bytes);
        position_ += bytes.size();
    }

    void terminate() override { file_->flush(); }

private:
    Ref<Io::File> file_;
    uint64_t position_ = 0;
};

}  // namespace

Ref<Io::Source> NewFileSource(Ref<FileImpl> file, uint64_t end) {
    return Object::New<FileSourceImpl>(std::move(file), end);
}

Ref<Io::Sink> NewFileSink(Ref<Io::File> file) {
    return Object::New<FileSinkImpl>(std::move(file));
}

}  // namespace Io::Fs
