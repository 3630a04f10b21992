#include "io/text/prefix_filter.h"

#include <utility>

namespace Io::Text {

PrefixFilterImpl::PrefixFilterImpl(ByteBuffer prefix, Ref<Io::Source> inner)
    : prefix_(std::move(prefix)), inner_(std::move(inner)) {}

bool PrefixFilterImpl::atEnd() {
    return prefix_.empty() && inner_->atEnd();
}

ByteBuffer PrefixFilterImpl::read() {
    if (!prefix_.empty()) {
        return std::exchange(prefix_, ByteBuffer());
    }
    return inner_->read();
}

Ref<Io::Source> PrefixFilterImpl::source() {
    return inner_;
}

}  // namespace Io::Text
