#include "io/text/decoder_impl.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "error/error.h"
#include "io/text/code_page.h"
#include "io/text/prefix_filter.h"
#include "io/text/utf8.h"

namespace Io::Text {

namespace {

constexpr char kModule[] = "text";

std::string_view AsChars(const uint8_t* bytes, size_t size) {
    return {reinterpret_cast<const char*>(bytes), size};
}

}  // namespace

DecoderImpl::DecoderImpl(Ref<Io::Source> source, bool strict)
    : source_(std::move(source)), strict_(strict) {}

bool DecoderImpl::atEnd() {
    return Available() == 0 && (!source_ || source_->atEnd());
}

BaseString DecoderImpl::read() {
    // Only a read that delivers decoded text allows a return, so a read that
    // ends in an error leaves it refused.
    return_allowed_ = false;
    if (!source_) {
        return {};
    }
    if (code_page_ == -1 && !Detect()) {
        return {};
    }
    switch (code_page_) {
        case 65001:
            return ReadUtf8();
        case 1200:
            return ReadUtf16(false);
        case 1201:
            return ReadUtf16(true);
        default:
            return ReadCodePage();
    }
}

bool DecoderImpl::AppendChunk() {
    if (Available() == 0) {
        // Let go of the bytes decoded before, so that a source that reuses
        // its storage once the taker lets go can do so.
        pending_.Clear();
        start_ = position_ = 0;
    }
    ByteBuffer chunk = source_->read();
    if (chunk.empty()) {
        return false;
    }
    first_read_pending_ = false;
    if (Available() == 0) {
        pending_ = std::move(chunk);
    } else {
        ByteBuffer joined;
        joined.Reserve(Available() + chunk.size());
        joined.Append(Rest(), Available());
        joined.Append(chunk.data(), chunk.size());
        pending_ = std::move(joined);
    }
    start_ = position_ = 0;
    return true;
}

void DecoderImpl::Gather(size_t count) {
    while (Available() < count && !source_->atEnd() && AppendChunk()) {
    }
}

bool DecoderImpl::SkipMark(std::string_view mark) {
    Gather(mark.size());
    if (Available() < mark.size() || std::memcmp(Rest(), mark.data(), mark.size()) != 0) {
        return false;
    }
    position_ += mark.size();
    return true;
}

bool DecoderImpl::Detect() {
    first_read_pending_ = false;
    if (Available() == 0 && !AppendChunk()) {
        return false;
    }
    code_page_ = 65001;
    switch (Rest()[0]) {
        case 0xEF:
            SkipMark(ByteOrderMark(65001));
            break;
        case 0xFE:
            if (SkipMark(ByteOrderMark(1201))) {
                code_page_ = 1201;
            }
            break;
        case 0xFF:
            if (SkipMark(ByteOrderMark(1200))) {
                code_page_ = 1200;
            }
            break;
    }
    return true;
}

bool DecoderImpl::StartExplicitly(std::string_view mark) {
    if (!first_read_pending_) {
        return true;
    }
    if (!AppendChunk()) {
        return false;
    }
    // Bytes that merely begin like the mark are text (U+FFxx in UTF-16, a
    // character from U+F000 in UTF-8) and are decoded as such.
    SkipMark(mark);
    return true;
}

BaseString DecoderImpl::ReadUtf8() {
    if (!StartExplicitly(ByteOrderMark(65001))) {
        return {};
    }
    while (Base::ReadUtf8Sequence(Rest(), Available()).kind == Base::Utf8Sequence::kIncomplete &&
           !source_->atEnd() && AppendChunk()) {
    }
    if (Available() == 0) {
        return EndOfText();
    }
    if (Base::ReadUtf8Sequence(Rest(), Available()).kind == Base::Utf8Sequence::kIncomplete) {
        position_ = pending_.size();
        return InvalidCharacter();
    }
    start_ = position_;
    BaseString text;
    position_ += Utf8::Decode(Rest(), Available(), text);
    if (text.empty()) {
        position_ += 1;
        return InvalidCharacter();
    }
    return Deliver(std::move(text));
}

BaseString DecoderImpl::ReadUtf16(bool big_endian) {
    if (!StartExplicitly(ByteOrderMark(big_endian ? 1201 : 1200))) {
        return {};
    }
    Gather(2);
    if (Available() == 0) {
        return EndOfText();
    }
    if (Available() == 1) {
        position_ += 1;
        return InvalidCharacter();
    }
    start_ = position_;
    const uint8_t* bytes = Rest();
    size_t units = Available() / 2;
    BaseString text;
    char16_t* out = text.AppendUninitialized(units);
    size_t count = 0;
    for (; count < units; ++count, bytes += 2) {
        char16_t unit = big_endian ? static_cast<char16_t>(bytes[0] << 8 | bytes[1])
                                   : static_cast<char16_t>(bytes[1] << 8 | bytes[0]);
        if (unit == 0) {
            break;  // no string holds U+0000
        }
        out[count] = unit;
    }
    text.Truncate(count);
    if (count == 0) {
        position_ += 2;
        return InvalidCharacter();
    }
    position_ += 2 * count;
    return Deliver(std::move(text));
}

BaseString DecoderImpl::ReadCodePage() {
    while (Available() == 0 ||
           CodePageCharLength(code_page_, AsChars(Rest(), Available())) > Available()) {
        if (!AppendChunk()) {
            bool cut_off = Available() > 0;
            EndOfText();
            return cut_off ? InvalidCharacter() : BaseString();
        }
    }
    start_ = position_;
    std::string_view bytes = AsChars(Rest(), Available());
    // No string holds U+0000: a zero byte ends the text and is then reported
    // as an invalid character of its own.
    bytes = bytes.substr(0, bytes.find('\0'));
    // A character cut by the end of the chunk is completed by the next read.
    bytes = bytes.substr(0, WholeCharacters(bytes));
    BaseString text;
    if (!bytes.empty() && !DecodeCodePage(code_page_, bytes, text)) {
        bytes = bytes.substr(0, ConvertiblePrefix(bytes));
        if (!bytes.empty() && !DecodeCodePage(code_page_, bytes, text)) {
            bytes = {};
        }
    }
    if (bytes.empty()) {
        position_ += 1;
        return InvalidCharacter();
    }
    position_ += bytes.size();
    return Deliver(std::move(text));
}

size_t DecoderImpl::WholeCharacters(std::string_view bytes) const {
    size_t size = 0;
    while (size < bytes.size()) {
        size_t length = CodePageCharLength(code_page_, bytes.substr(size));
        if (size + length > bytes.size()) {
            break;
        }
        size += length;
    }
    return size;
}

size_t DecoderImpl::ConvertiblePrefix(std::string_view bytes) {
    size_t size = 0;
    while (size < bytes.size()) {
        size_t length = CodePageCharLength(code_page_, bytes.substr(size));
        BaseString character;
        if (size + length > bytes.size() ||
            !DecodeCodePage(code_page_, bytes.substr(size, length), character)) {
            break;
        }
        size += length;
    }
    return size;
}

BaseString DecoderImpl::Deliver(BaseString text) {
    last_text_ = text;
    last_code_page_ = code_page_;
    return_allowed_ = true;
    return text;
}

BaseString DecoderImpl::InvalidCharacter() {
    last_text_.Clear();
    if (strict_) {
        throw Error::Internal("text-dec-inv-char", kModule);
    }
    return BaseString(u"?");
}

BaseString DecoderImpl::EndOfText() {
    pending_.Clear();
    start_ = position_ = 0;
    last_text_.Clear();
    return {};
}

void DecoderImpl::returnText(const BaseString& text) {
    if (!return_allowed_) {
        throw Error::Internal("text-dec-cant-return", kModule);
    }
    if (!last_text_.view().ends_with(text.view())) {
        throw Error::Internal("text-dec-badreturn", kModule);
    }
    position_ = start_ + BytesOfText(last_text_.length() - text.length());
    return_allowed_ = false;
}

size_t DecoderImpl::BytesOfText(size_t units) {
    if (last_code_page_ == 1200 || last_code_page_ == 1201) {
        return 2 * units;
    }
    const uint8_t* bytes = pending_.data() + start_;
    size_t size = position_ - start_;
    size_t used = 0;
    if (last_code_page_ == 65001) {
        size_t decoded = 0;
        while (decoded < units) {
            Base::Utf8Sequence sequence = Base::ReadUtf8Sequence(bytes + used, size - used);
            if (sequence.kind != Base::Utf8Sequence::kValid) {
                break;
            }
            used += sequence.length;
            decoded += sequence.code_point > 0xFFFF ? 2 : 1;
        }
        // More units than asked: the kept text ends inside a surrogate pair,
        // whose bytes cannot be split.
        if (decoded == units) {
            return used;
        }
    } else {
        BaseString kept;
        while (kept.length() < units && used < size) {
            size_t length =
                std::min(CodePageCharLength(last_code_page_, AsChars(bytes + used, size - used)),
                         size - used);
            DecodeCodePage(last_code_page_, AsChars(bytes + used, length), kept);
            used += length;
        }
        if (used <= size && kept == last_text_.view().substr(0, units)) {
            return used;
        }
    }
    throw Error::Internal("text-dec-badreturn", kModule);
}

Ref<Io::Source> DecoderImpl::source() {
    if (!source_) {
        return {};
    }
    ByteBuffer rest(Rest(), Available());
    Ref<Io::Source> filter = Object::New<PrefixFilterImpl>(std::move(rest), std::move(source_));
    EndOfText();
    return filter;
}

}  // namespace Io::Text
