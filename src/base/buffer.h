#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

// A reference-counted run of bytes with an explicit length (empty when absent).
// Copies share the storage until one of them changes it; storage is wiped with
// zeros before it is freed.
class ByteBuffer {
public:
    ByteBuffer() noexcept = default;
    ByteBuffer(const void* data, size_t size);
    explicit ByteBuffer(std::string_view bytes) : ByteBuffer(bytes.data(), bytes.size()) {}
    ByteBuffer(const ByteBuffer& other) noexcept;
    ByteBuffer(ByteBuffer&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
    ByteBuffer& operator=(const ByteBuffer& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ~ByteBuffer();

    size_t size() const noexcept { return rep_ ? rep_->size : 0; }
    bool empty() const noexcept { return size() == 0; }
    const uint8_t* data() const noexcept { return rep_ ? rep_->bytes() : nullptr; }
    std::string_view view() const noexcept {
        return {reinterpret_cast<const char*>(data()), size()};
    }
    uint8_t operator[](size_t index) const noexcept { return data()[index]; }

    void Append(const void* data, size_t size);
    // Lengthens the buffer by `size` bytes and returns them for the caller to
    // write (encoders fill them in place).
    uint8_t* AppendUninitialized(size_t size);
    // Changes the length; new bytes are zero.
    void Resize(size_t size);
    void Reserve(size_t capacity);
    // Makes this `size` bytes for the caller to overwrite and returns them: the
    // storage is kept when this buffer holds it alone and it is large enough,
    // otherwise fresh storage is taken. The bytes are not cleared first.
    uint8_t* ResetForOverwrite(size_t size);
    void Clear() noexcept;
    // Private, writable bytes of the current content.
    uint8_t* MutableData();

    friend bool operator==(const ByteBuffer& a, const ByteBuffer& b) noexcept {
        return a.view() == b.view();
    }

private:
    struct Rep {
        std::atomic<uint32_t> refs;
        size_t size;
        size_t capacity;
        uint8_t* bytes() noexcept { return reinterpret_cast<uint8_t*>(this + 1); }
    };
    static void Unref(Rep* rep) noexcept;
    void MakeUnique(size_t capacity);

    Rep* rep_ = nullptr;
};
