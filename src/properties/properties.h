#pragma once

#include <cstdint>
#include <vector>

#include "base/buffer.h"
#include "base/string.h"
#include "error/error.h"

// A flat set of named, typed values: strings, 32-bit numbers, byte buffers and
// handles. The getters with a default answer it whenever the value is missing
// or of another type; the others throw.
class Properties {
public:
    using Handle = void*;

    // Value types, as GetValueType answers them.
    enum ValueType : uint32_t { kMissing = 0, kDword = 1, kString = 2, kBinary = 3 };

    virtual BaseString GetString(const BaseString& name, const BaseString& default_value) = 0;
    virtual BaseString GetString(const BaseString& name) = 0;
    virtual uint32_t GetDword(const BaseString& name, uint32_t default_value) = 0;
    virtual uint32_t GetDword(const BaseString& name) = 0;
    virtual ByteBuffer GetBinary(const BaseString& name, const ByteBuffer& default_value) = 0;
    virtual ByteBuffer GetBinary(const BaseString& name) = 0;
    virtual Handle GetHandle(const BaseString& name, Handle default_value) = 0;
    virtual Handle GetHandle(const BaseString& name) = 0;
    virtual void SetString(const BaseString& name, const BaseString& value) = 0;
    virtual void SetDword(const BaseString& name, uint32_t value) = 0;
    // An empty buffer writes an empty value.
    virtual void SetBinary(const BaseString& name, const ByteBuffer& value) = 0;
    virtual void SetHandle(const BaseString& name, Handle value) = 0;
    // The platform's result; a missing value (or key) is not an error.
    virtual uint32_t DeleteValue(const BaseString& name) = 0;
    virtual ValueType GetValueType(const BaseString& name) = 0;
    // The names of the string, number and buffer values, in the store's order.
    virtual std::vector<BaseString> ListValues() = 0;
    virtual void DeleteAllValues() = 0;
    virtual ~Properties() = default;
};
