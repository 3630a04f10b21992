#pragma once

#include <cstdint>

#include "io/file.h"
#include "object/ref.h"

namespace Io::Fs {

class FileImpl;

// A source over the file from offset 0 to `end`, reading File::kMaxReadSize
// bytes at a time. It ends early when the file has become shorter.
Ref<Io::Source> NewFileSource(Ref<FileImpl> file, uint64_t end);

// A sink writing into the file from offset 0; terminate flushes the file.
Ref<Io::Sink> NewFileSink(Ref<Io::File> file);

}  // namespace Io::Fs
