#pragma once

#include "io/text/line_stream.h"
#include "io/text/text_position.h"
#include "object/impl.h"

namespace Io::Text {

class LineSinkImpl final : public Object::Impl<LineSinkImpl, LineSink, Position> {
public:
    LineSinkImpl(Ref<Sink> sink, int32_t line_end, int32_t tab_width);

    void write(const BaseString& text) override;
    void terminate() override { sink_->terminate(); }
    Ref<Sink> sink() override { return sink_; }
    void setLineEnd(int32_t line_end) override { line_end_ = line_end; }

    std::pair<int32_t, int32_t> position() override { return position_.Get(); }
    void setPosition(int32_t line, int32_t column) override { position_.Set(line, column); }
    int32_t tabWidth() override { return position_.TabWidth(); }
    void setTabWidth(int32_t width) override { position_.SetTabWidth(width); }

private:
    Ref<Sink> sink_;
    TextPosition position_;
    int32_t line_end_;
};

}  // namespace Io::Text
