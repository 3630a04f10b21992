#include "io/text/encoder_impl.h"

#include <optional>
#include <string_view>
#include <utility>

#include "error/error.h"
#include "io/text/code_page.h"
#include "io/text/utf8.h"

namespace Io::Text {

namespace {

constexpr char kModule[] = "text";

}  // namespace

EncoderImpl::EncoderImpl(Ref<Io::Sink> sink, int32_t code_page, bool byte_order_mark, bool strict)
    : sink_(std::move(sink)),
      code_page_(code_page),
      strict_(strict),
      byte_order_mark_pending_(byte_order_mark) {}

void EncoderImpl::ThrowIfTerminated() const {
    if (terminated_) {
        throw Error::Internal("text-enc-term", kModule);
    }
}

void EncoderImpl::write(const BaseString& text) {
    ThrowIfTerminated();
    if (byte_order_mark_pending_) {
        byte_order_mark_pending_ = false;
        std::string_view mark = ByteOrderMark(code_page_);
        if (!mark.empty()) {
            sink_->write(ByteBuffer(mark));
        }
    }
    BaseString joined;
    std::u16string_view whole = text.view();
    if (held_high_surrogate_) {
        joined = BaseString(std::u16string_view(&held_high_surrogate_, 1)) + whole;
        whole = joined.view();
        held_high_surrogate_ = 0;
    }
    // A surrogate pair may arrive in two writes: in the Unicode encodings, which
    // write a pair as one character, its first half waits for the next write.
    bool unicode = code_page_ == 65001 || code_page_ == 1200 || code_page_ == 1201;
    if (unicode && !whole.empty() && Base::IsHighSurrogate(whole.back())) {
        held_high_surrogate_ = whole.back();
        whole.remove_suffix(1);
    }
    if (!whole.empty()) {
        sink_->write(Encode(whole));
    }
}

ByteBuffer EncoderImpl::Encode(std::u16string_view text) const {
    if (code_page_ == 65001) {
        std::optional<ByteBuffer> bytes = Utf8::Encode(text, strict_);
        if (!bytes) {
            throw Error::Internal("text-enc-inv-char", kModule);
        }
        return std::move(*bytes);
    }
    if (code_page_ == 1200 || code_page_ == 1201) {
        if (strict_ && FindUnpairedSurrogate(text) != std::u16string_view::npos) {
            throw Error::Internal("text-enc-inv-char", kModule);
        }
        return EncodeUtf16(text, code_page_ == 1201);
    }
    ByteBuffer bytes;
    bool used_default = false;
    // A code page the platform cannot convert would lose the text: refused
    // like a character the code page lacks, strict or not.
    if (!EncodeCodePage(code_page_, text, !strict_, bytes, used_default) ||
        (used_default && strict_)) {
        throw Error::Internal("text-enc-inv-char", kModule);
    }
    return bytes;
}

ByteBuffer EncoderImpl::EncodeUtf16(std::u16string_view text, bool big_endian) const {
    ByteBuffer bytes;
    uint8_t* out = bytes.AppendUninitialized(2 * text.size());
    auto put = [&](char16_t unit) {
        out[big_endian ? 1 : 0] = static_cast<uint8_t>(unit);
        out[big_endian ? 0 : 1] = static_cast<uint8_t>(unit >> 8);
        out += 2;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        if (Base::StartsPair(text, i)) {
            put(unit);
            put(text[++i]);
        } else {
            put(Base::IsSurrogate(unit) ? Base::kReplacement : unit);
        }
    }
    return bytes;
}

void EncoderImpl::terminate() {
    ThrowIfTerminated();
    if (held_high_surrogate_) {
        // No second half came: an unpaired surrogate after all.
        char16_t unpaired = std::exchange(held_high_surrogate_, 0);
        sink_->write(Encode(std::u16string_view(&unpaired, 1)));
    }
    sink_->terminate();
    terminated_ = true;
}

void EncoderImpl::setCodePage(int32_t code_page) {
    ThrowIfTerminated();
    code_page_ = code_page;
}

}  // namespace Io::Text
