#include "io/text/memory_stream.h"

namespace Io::Text::Memory {

BaseString Source::read() {
    if (delivered_) {
        return {};
    }
    delivered_ = true;
    return std::move(text_);
}

}  // namespace Io::Text::Memory
