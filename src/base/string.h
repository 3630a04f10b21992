#pragma once

#include <atomic>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// UTF-16 text shared between copies. Storage is reference counted (atomically),
// copied on the first change made through one of the sharing strings, wiped with
// zeros when freed, and sized in classes of 16, 32, 64, 128, 256 bytes and then
// multiples of 256. All empty strings share one static instance. A string never
// holds U+0000: text given with an embedded zero ends there.
class BaseString {
public:
    static constexpr size_t npos = std::u16string_view::npos;

    BaseString() noexcept;
    BaseString(const char16_t* text);
    BaseString(const char16_t* text, size_t length);
    BaseString(std::u16string_view text);
    BaseString(const BaseString& other) noexcept;
    BaseString(BaseString&& other) noexcept;
    BaseString& operator=(const BaseString& other) noexcept;
    BaseString& operator=(BaseString&& other) noexcept;
    ~BaseString();

    // Conversions at the edges: source literals, narrow diagnostic tags, files
    // and terminals. Invalid UTF-8 becomes U+FFFD; unpaired surrogates become
    // EF BF BD on the way out.
    static BaseString FromUtf8(std::string_view text);
    std::string ToUtf8() const;

    size_t length() const noexcept { return rep_->length; }
    bool empty() const noexcept { return rep_->length == 0; }
    const char16_t* c_str() const noexcept { return rep_->text(); }
    const char16_t* data() const noexcept { return rep_->text(); }
    std::u16string_view view() const noexcept { return {rep_->text(), rep_->length}; }
    operator std::u16string_view() const noexcept { return view(); }
    char16_t operator[](size_t index) const noexcept { return rep_->text()[index]; }
    const char16_t* begin() const noexcept { return data(); }
    const char16_t* end() const noexcept { return data() + length(); }

    size_t Find(std::u16string_view what, size_t from = 0) const noexcept {
        return view().find(what, from);
    }
    size_t Find(char16_t what, size_t from = 0) const noexcept { return view().find(what, from); }
    size_t FindLast(char16_t what) const noexcept { return view().rfind(what); }
    bool StartsWith(std::u16string_view prefix) const noexcept {
        return view().substr(0, prefix.size()) == prefix;
    }
    BaseString Substr(size_t from, size_t count = npos) const;

    BaseString& Append(std::u16string_view text);
    BaseString& Append(char16_t c);
    BaseString& operator+=(std::u16string_view text) { return Append(text); }
    BaseString& operator+=(char16_t c) { return Append(c); }
    // Lengthens the text by `count` characters and returns them for the caller
    // to write, all of them and none U+0000 (decoders fill them in place and
    // Truncate what they did not use).
    char16_t* AppendUninitialized(size_t count);
    // Makes room for at least `capacity` characters without changing the text.
    void Reserve(size_t capacity);
    // Shortens the text to `length` characters (no effect when it is shorter).
    void Truncate(size_t length);
    void Clear() noexcept;
    // Private, writable characters of the current text (copies shared storage first).
    char16_t* MutableData();

    friend bool operator==(const BaseString& a, const BaseString& b) noexcept {
        return a.rep_ == b.rep_ || a.view() == b.view();
    }
    friend bool operator==(const BaseString& a, std::u16string_view b) noexcept {
        return a.view() == b;
    }
    friend bool operator==(const BaseString& a, const char16_t* b) noexcept {
        return a.view() == std::u16string_view(b);
    }
    // Ordinal order of the 16-bit code units.
    friend std::strong_ordering operator<=>(const BaseString& a, const BaseString& b) noexcept {
        return a.view().compare(b.view()) <=> 0;
    }

    // Storage facts, for the tests of the sharing and sizing rules.
    size_t StorageBytes() const noexcept;
    bool SharesStorageWith(const BaseString& other) const noexcept { return rep_ == other.rep_; }

private:
    struct Rep {
        std::atomic<uint32_t> refs;
        uint32_t length;
        uint32_t capacity;  // characters, not counting the terminating zero
        char16_t* text() noexcept { return reinterpret_cast<char16_t*>(this + 1); }
        const char16_t* text() const noexcept {
            return reinterpret_cast<const char16_t*>(this + 1);
        }
    };
    static_assert(sizeof(Rep) == 12);

    static Rep* EmptyRep() noexcept;
    static Rep* Allocate(size_t capacity);
    static void Unref(Rep* rep) noexcept;
    bool IsEmptyRep() const noexcept { return rep_ == EmptyRep(); }
    void MakeUnique(size_t capacity);

    Rep* rep_;
};

BaseString operator+(const BaseString& a, std::u16string_view b);

template <>
struct std::hash<BaseString> {
    size_t operator()(const BaseString& s) const noexcept {
        return std::hash<std::u16string_view>()(s.view());
    }
};
