#include "base/string.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/memory.h"
#include "base/utf.h"

namespace {

constexpr size_t kHeaderBytes = 12;

size_t RoundStorageBytes(size_t bytes) {
    for (size_t size_class = 16; size_class <= 256; size_class *= 2) {
        if (bytes <= size_class) {
            return size_class;
        }
    }
    return (bytes + 255) / 256 * 256;
}

size_t StorageBytesFor(size_t capacity) {
    return RoundStorageBytes(kHeaderBytes + (capacity + 1) * sizeof(char16_t));
}

size_t LengthUpToZero(const char16_t* text, size_t length) {
    const char16_t* zero = std::char_traits<char16_t>::find(text, length, u'\0');
    return zero ? static_cast<size_t>(zero - text) : length;
}

struct EmptyStorage {
    std::atomic<uint32_t> refs;
    uint32_t length;
    uint32_t capacity;
    char16_t zero;
};
constinit EmptyStorage g_empty{{1}, 0, 0, 0};

}  // namespace

BaseString::Rep* BaseString::EmptyRep() noexcept {
    static_assert(offsetof(EmptyStorage, zero) == sizeof(Rep));
    return reinterpret_cast<Rep*>(&g_empty);
}

BaseString::Rep* BaseString::Allocate(size_t capacity) {
    if (capacity > UINT32_MAX / 4) {
        throw std::bad_alloc();
    }
    size_t bytes = StorageBytesFor(capacity);
    Rep* rep = static_cast<Rep*>(Base::AllocateStorage(bytes));
    new (&rep->refs) std::atomic<uint32_t>(1);
    rep->length = 0;
    rep->capacity = static_cast<uint32_t>((bytes - kHeaderBytes) / sizeof(char16_t) - 1);
    rep->text()[0] = 0;
    return rep;
}

void BaseString::Unref(Rep* rep) noexcept {
    if (rep == EmptyRep()) {
        return;
    }
    if (rep->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        Base::FreeStorage(rep, StorageBytesFor(rep->capacity));
    }
}

BaseString::BaseString() noexcept : rep_(EmptyRep()) {}

BaseString::BaseString(const char16_t* text)
    : BaseString(text ? std::u16string_view(text) : std::u16string_view()) {}

BaseString::BaseString(const char16_t* text, size_t length)
    : BaseString(std::u16string_view(text, text ? length : 0)) {}

BaseString::BaseString(std::u16string_view text) : rep_(EmptyRep()) {
    size_t length = LengthUpToZero(text.data(), text.size());
    if (length == 0) {
        return;
    }
    rep_ = Allocate(length);
    std::memcpy(rep_->text(), text.data(), length * sizeof(char16_t));
    rep_->text()[length] = 0;
    rep_->length = static_cast<uint32_t>(length);
}

BaseString::BaseString(const BaseString& other) noexcept : rep_(other.rep_) {
    if (!IsEmptyRep()) {
        rep_->refs.fetch_add(1, std::memory_order_relaxed);
    }
}

BaseString::BaseString(BaseString&& other) noexcept : rep_(other.rep_) {
    other.rep_ = EmptyRep();
}

BaseString& BaseString::operator=(const BaseString& other) noexcept {
    if (rep_ != other.rep_) {
        BaseString copy(other);
        std::swap(rep_, copy.rep_);
    }
    return *this;
}

BaseString& BaseString::operator=(BaseString&& other) noexcept {
    std::swap(rep_, other.rep_);
    return *this;
}

BaseString::~BaseString() {
    Unref(rep_);
}

size_t BaseString::StorageBytes() const noexcept {
    return IsEmptyRep() ? sizeof(EmptyStorage) : StorageBytesFor(rep_->capacity);
}

void BaseString::MakeUnique(size_t capacity) {
    bool shared = IsEmptyRep() || rep_->refs.load(std::memory_order_acquire) != 1;
    if (!shared && capacity <= rep_->capacity) {
        return;
    }
    if (!shared) {
        // Growing: at least double, so that appending stays linear.
        capacity = std::max<size_t>(capacity, size_t{rep_->capacity} * 2);
    }
    Rep* fresh = Allocate(std::max<size_t>(capacity, rep_->length));
    std::memcpy(fresh->text(), rep_->text(), (rep_->length + 1) * sizeof(char16_t));
    fresh->length = rep_->length;
    Unref(rep_);
    rep_ = fresh;
}

BaseString BaseString::Substr(size_t from, size_t count) const {
    if (from == 0 && count >= length()) {
        return *this;
    }
    return BaseString(view().substr(std::min(from, length()), count));
}

BaseString& BaseString::Append(std::u16string_view text) {
    size_t count = LengthUpToZero(text.data(), text.size());
    if (count == 0) {
        return *this;
    }
    if (empty() && count == text.size()) {
        return *this = BaseString(text);
    }
    if (text.data() >= data() && text.data() <= data() + length()) {
        // The text lies in our own storage, which growing may free.
        BaseString copy(text.substr(0, count));
        return Append(copy.view());
    }
    MakeUnique(length() + count);
    std::memmove(rep_->text() + rep_->length, text.data(), count * sizeof(char16_t));
    rep_->length += static_cast<uint32_t>(count);
    rep_->text()[rep_->length] = 0;
    return *this;
}

BaseString& BaseString::Append(char16_t c) {
    if (c == 0) {
        return *this;
    }
    MakeUnique(length() + 1);
    rep_->text()[rep_->length++] = c;
    rep_->text()[rep_->length] = 0;
    return *this;
}

char16_t* BaseString::AppendUninitialized(size_t count) {
    if (count == 0) {
        return rep_->text() + rep_->length;
    }
    MakeUnique(length() + count);
    char16_t* added = rep_->text() + rep_->length;
    rep_->length += static_cast<uint32_t>(count);
    rep_->text()[rep_->length] = 0;
    return added;
}

void BaseString::Reserve(size_t capacity) {
    if (capacity > length()) {
        MakeUnique(capacity);
    }
}

void BaseString::Truncate(size_t length) {
    if (length >= this->length()) {
        return;
    }
    if (length == 0) {
        Clear();
        return;
    }
    MakeUnique(length);
    Base::SecureWipe(rep_->text() + length, (rep_->length - length) * sizeof(char16_t));
    rep_->length = static_cast<uint32_t>(length);
}

void BaseString::Clear() noexcept {
    Unref(rep_);
    rep_ = EmptyRep();
}

char16_t* BaseString::MutableData() {
    if (!empty()) {
        MakeUnique(length());
    }
    return rep_->text();
}

BaseString BaseString::FromUtf8(std::string_view text) {
    BaseString result;
    result.Reserve(text.size());
    Base::AppendUtf8AsUtf16(text, result);
    return result;
}

std::string BaseString::ToUtf8() const {
    return Base::Utf16ToUtf8(view());
}

BaseString operator+(const BaseString& a, std::u16string_view b) {
    BaseString result;
    result.Reserve(a.length() + b.size());
    result.Append(a.view());
    result.Append(b);
    return result;
}
