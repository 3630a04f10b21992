#pragma once

#include <cstdint>
#include <variant>

#include "base/string.h"
#include "object/ref.h"

// A value of one of several kinds, named by a 32-bit tag: thread slots,
// language properties, path sources.
class Value {
public:
    enum Tag : uint32_t { kEmpty = 0, kInteger = 1, kString = 2, kObject = 4, kModule = 5 };

    Value() = default;
    Value(int32_t integer) : data_(integer) {}
    Value(BaseString text) : data_(std::move(text)) {}
    Value(const char16_t* text) : data_(BaseString(text)) {}
    // An empty reference gives the empty value.
    template <class T>
    Value(const Ref<T>& object) {
        if (object) {
            data_ = Ref<BaseFace>::Share(Object::AsBaseFace(object.get()));
        }
    }
    static Value FromModule(void* module_handle);

    Tag tag() const;
    bool IsEmpty() const { return tag() == kEmpty; }

    // The value as the wanted tag. The empty value gives the empty value; a
    // value of another tag is the internal error "val-conv2(%d,%d)" (held tag,
    // wanted tag) unless conversions are allowed and one exists (integer <->
    // decimal text). Asking for tag 0 gives the empty value.
    Value As(Tag wanted, bool allow_conversion = false) const;

    // Typed reads by the same rule; the empty value reads as 0, "", null.
    int32_t GetInteger(bool allow_conversion = false) const;
    BaseString GetString(bool allow_conversion = false) const;
    Ref<BaseFace> GetFace() const;
    void* GetModule() const;

private:
    struct Module {
        void* handle;
    };
    std::variant<std::monostate, int32_t, BaseString, Ref<BaseFace>, Module> data_;
};
