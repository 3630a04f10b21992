#include "io/stream.h"

namespace Io {

ByteBuffer ReadAll(Source& source) {
    ByteBuffer bytes;
    while (!source.atEnd()) {
        ByteBuffer chunk = source.read();
        if (chunk.empty()) {
            break;
        }
        bytes.Append(chunk.data(), chunk.size());
    }
    return bytes;
}

}  // namespace Io
