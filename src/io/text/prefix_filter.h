#pragma once

#include "base/buffer.h"
#include "io/stream.h"
#include "object/impl.h"

namespace Io::Text {

// A byte source that first delivers some held-back bytes and then continues
// with another source.
class PrefixFilterImpl final : public Object::Impl<PrefixFilterImpl, Io::FilteringSource> {
public:
    PrefixFilterImpl(ByteBuffer prefix, Ref<Io::Source> inner);

    bool atEnd() override;
    ByteBuffer read() override;
    Ref<Io::Source> source() override;

private:
    ByteBuffer prefix_;
    Ref<Io::Source> inner_;
};

}  // namespace Io::Text
