#include "base/buffer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "base/memory.h"

void ByteBuffer::Unref(Rep* rep) noexcept {
    if (rep && rep->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        Base::FreeStorage(rep, sizeof(Rep) + rep->capacity);
    }
}

ByteBuffer::ByteBuffer(const void* data, size_t size) {
    if (size > 0) {
        Append(data, size);
    }
}

ByteBuffer::ByteBuffer(const ByteBuffer& other) noexcept : rep_(other.rep_) {
    if (rep_) {
        rep_->refs.fetch_add(1, std::memory_order_relaxed);
    }
}

ByteBuffer& ByteBuffer::operator=(const ByteBuffer& other) noexcept {
    ByteBuffer copy(other);
    std::swap(rep_, copy.rep_);
    return *this;
}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    std::swap(rep_, other.rep_);
    return *this;
}

ByteBuffer::~ByteBuffer() {
    Unref(rep_);
}

void ByteBuffer::MakeUnique(size_t capacity) {
    bool shared = rep_ && rep_->refs.load(std::memory_order_acquire) != 1;
    if (rep_ && !shared && capacity <= rep_->capacity) {
        return;
    }
    size_t old_size = size();
    if (rep_ && !shared) {
        capacity = std::max(capacity, rep_->capacity * 2);
    }
    capacity = std::max<size_t>({capacity, old_size, 16});
    if (capacity > SIZE_MAX - sizeof(Rep)) {
        throw std::bad_alloc();
    }
    Rep* fresh = static_cast<Rep*>(Base::AllocateStorage(sizeof(Rep) + capacity));
    new (&fresh->refs) std::atomic<uint32_t>(1);
    fresh->size = old_size;
    fresh->capacity = capacity;
    if (old_size) {
        std::memcpy(fresh->bytes(), rep_->bytes(), old_size);
    }
    Unref(rep_);
    rep_ = fresh;
}

void ByteBuffer::Append(const void* data, size_t size) {
    if (size == 0) {
        return;
    }
    if (rep_ && static_cast<const uint8_t*>(data) >= rep_->bytes() &&
        static_cast<const uint8_t*>(data) < rep_->bytes() + rep_->size) {
        ByteBuffer copy(data, size);
        Append(copy.data(), size);
        return;
    }
    MakeUnique(this->size() + size);
    std::memcpy(rep_->bytes() + rep_->size, data, size);
    rep_->size += size;
}

uint8_t* ByteBuffer::AppendUninitialized(size_t size) {
    if (size == 0) {
        return rep_ ? rep_->bytes() + rep_->size : nullptr;
    }
    MakeUnique(this->size() + size);
    uint8_t* added = rep_->bytes() + rep_->size;
    rep_->size += size;
    return added;
}

void ByteBuffer::Resize(size_t size) {
    if (size == this->size()) {
        return;
    }
    MakeUnique(size);
    if (size > rep_->size) {
        std::memset(rep_->bytes() + rep_->size, 0, size - rep_->size);
    } else {
        Base::SecureWipe(rep_->bytes() + size, rep_->size - size);
    }
    rep_->size = size;
}

void ByteBuffer::Reserve(size_t capacity) {
    if (capacity > size()) {
        MakeUnique(capacity);
    }
}

uint8_t* ByteBuffer::ResetForOverwrite(size_t size) {
    bool reusable =
        rep_ && rep_->refs.load(std::memory_order_acquire) == 1 && rep_->capacity >= size;
    if (!reusable) {
        Clear();
        if (size == 0) {
            return nullptr;
        }
        MakeUnique(size);
    }
    rep_->size = size;
    return rep_->bytes();
}

void ByteBuffer::Clear() noexcept {
    Unref(rep_);
    rep_ = nullptr;
}

uint8_t* ByteBuffer::MutableData() {
    if (!rep_) {
        return nullptr;
    }
    MakeUnique(rep_->size);
    return rep_->bytes();
}
