#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "base/format.h"
#include "base/string.h"
#include "object/module_lock.h"

struct MessageRow;

// Well-known codes. Any other 32-bit value (0, raw Win32 errors) is a code too.
inline constexpr uint32_t ErrContext = 0xE7210000;
inline constexpr uint32_t ErrInternal = 0xE7210001;
inline constexpr uint32_t ErrUserCancel = 0xE7210002;
inline constexpr uint32_t ErrInterrupt = 0xE7210003;
inline constexpr uint32_t ErrBadFormat = 0xE7210004;
inline constexpr uint32_t ErrNotFound = 0xE7210005;
inline constexpr uint32_t ErrNotSupported = 0xE7210008;

struct ErrorFrame {
    uint32_t code;
    BaseString text;
};

class ErrorData;

// The one exception type, thrown by value and caught by reference. A stack of
// frames: the failing code pushes the first, each level that catches it may push
// a context frame. Copies share their data until one of them changes
// (copy on write); every Error, and every copy, keeps the module whose code built
// it loaded. That module is the caller's: the `module` arguments default to the
// lock of the module the calling code is linked into, so an Error thrown by a
// plug-in library keeps the library loaded until the last copy is gone.
class Error {
public:
    Error() noexcept = default;
    Error(uint32_t code, BaseString text, bool mark,
          Object::ModuleLock& module = Object::ThisModule());
    Error(const Error& other) noexcept;
    Error(Error&& other) noexcept;
    Error& operator=(const Error& other) noexcept;
    Error& operator=(Error&& other) noexcept;
    ~Error();

    // An internal failure: the narrow tag format filled with the arguments and
    // shown inside the localized "An internal error occurred (%1: %2)." with the
    // module tag. The frame is marked.
    template <class... Args>
    static Error Internal(std::string_view tag_format, std::string_view module,
                          const Args&... args) {
        return InternalList(tag_format, module, {FormatArg(args)...}, Object::ThisModule());
    }
    static Error InternalList(std::string_view tag_format, std::string_view module,
                              std::initializer_list<FormatArg> args,
                              Object::ModuleLock& code_module = Object::ThisModule());
    // The system's text for a Win32 error code, with an optional context text.
    static Error FromSystem(uint32_t code, const BaseString& text, bool mark,
                            Object::ModuleLock& module = Object::ThisModule());
    // Right after a failed file-system call: the system's text (marked) under the
    // message whose %1 is the path; ErrNotFound for "file/path not found".
    static Error FromFile(const BaseString& message_format, const BaseString& path,
                          Object::ModuleLock& module = Object::ThisModule());
    static Error FromFile(const MessageRow* message_table, const BaseString& path,
                          Object::ModuleLock& module = Object::ThisModule());

    void Add(uint32_t code, const BaseString& text, bool mark);
    bool Has(uint32_t code) const noexcept;
    bool IsSet() const noexcept;
    // Index 0 is the most recent frame.
    uint32_t CodeAt(size_t index) const noexcept;
    BaseString MessageAt(size_t index) const;
    BaseString GetText() const;
    void Clear() noexcept;

    size_t FrameCount() const noexcept;
    // Push-order index of the marked frame, -1 for none.
    int32_t MarkedIndex() const noexcept;
    // Plug-in libraries may attach a detail text; rendering shows it last.
    const BaseString& DetailText() const noexcept;
    void SetDetailText(const BaseString& text);

private:
    explicit Error(Object::ModuleLock& module) noexcept : module_(module) {}
    const ErrorFrame* FrameAt(size_t index) const noexcept;
    void MakeUnique();

    ErrorData* data_ = nullptr;
    Object::ModuleLockHold module_;
};

// %1, %2, ... of a message filled with wide texts, by the insert rules of the
// platform's message formatter (FormatMessageW from a string). A formatter
// failure gives the empty text.
BaseString FillMessage(std::u16string_view message,
                       std::initializer_list<std::u16string_view> inserts);
