#pragma once

#include "properties/properties.h"
#include "properties/registry.h"

// The hive a key of PersistentProperties lies in.
enum class PropertyScope { kMachine = 0, kUser = 1 };

// Properties kept in one registry key, "SOFTWARE\<name>" of the machine hive
// or of the user hive. The key is opened on first need and kept open
// (re-opened once for writing when a write comes); nothing is cached about
// values. Registry failures are internal errors under the module tag "infvn2"
// naming the key's display path and the platform's code. Used by one thread at
// a time.
class PersistentProperties final : public Properties {
public:
    // The machine hive's "SOFTWARE\".
    PersistentProperties();
    PersistentProperties(const BaseString& name, PropertyScope scope);
    ~PersistentProperties() override;
    PersistentProperties(const PersistentProperties&) = delete;
    PersistentProperties& operator=(const PersistentProperties&) = delete;

    // Points the object at another key (closing the open one if it changes).
    void SetKey(const BaseString& name, PropertyScope scope);

    BaseString GetString(const BaseString& name, const BaseString& default_value) override;
    BaseString GetString(const BaseString& name) override;
    uint32_t GetDword(const BaseString& name, uint32_t default_value) override;
    uint32_t GetDword(const BaseString& name) override;
    ByteBuffer GetBinary(const BaseString& name, const ByteBuffer& default_value) override;
    ByteBuffer GetBinary(const BaseString& name) override;
    Handle GetHandle(const BaseString& name, Handle default_value) override;
    Handle GetHandle(const BaseString& name) override;
    void SetString(const BaseString& name, const BaseString& value) override;
    void SetDword(const BaseString& name, uint32_t value) override;
    void SetBinary(const BaseString& name, const ByteBuffer& value) override;
    void SetHandle(const BaseString& name, Handle value) override;
    uint32_t DeleteValue(const BaseString& name) override;
    ValueType GetValueType(const BaseString& name) override;
    std::vector<BaseString> ListValues() override;
    void DeleteAllValues() override;

    // Deletes the key with all its subkeys and values.
    void DeleteKey();

    // "HKEY_LOCAL_MACHINE\SOFTWARE\<name>[\<value name>]", for diagnostics.
    BaseString DisplayPath(const BaseString& value_name = BaseString()) const;

private:
    struct OpenMode {
        bool create;
        bool throw_on_error;
        bool throw_when_missing;
    };
    // Getters with a default; required getters; writers; and the probe that
    // deletions, listings and GetValueType start with (a missing key ends them
    // quietly).
    static constexpr OpenMode kQuietRead{false, false, true};
    static constexpr OpenMode kRequiredRead{false, true, true};
    static constexpr OpenMode kWrite{true, true, true};
    static constexpr OpenMode kProbe{false, true, false};

    // The open key, or null when it does not exist and the mode allows that.
    Registry::Key Open(OpenMode mode);
    void Close();
    Registry::Key Root() const;
    // Reads a value of one type whole (a number with a 4-byte buffer); false
    // when it is missing or unreadable (`result` holds the platform's code) or
    // of another type (`result` 0).
    bool Read(const BaseString& name, uint32_t wanted_type, ByteBuffer* data, uint32_t* result);
    bool ReadDword(const BaseString& name, uint32_t* value, uint32_t* result);
    // The error of a required getter whose read failed.
    [[noreturn]] void ThrowReadFailure(const BaseString& name, uint32_t result,
                                       const char16_t* expected_type) const;
    void Write(const BaseString& name, uint32_t type, const void* data, uint32_t size);
    uint32_t DeleteTree(Registry::Key parent, const BaseString& subkey);

    Registry::Key key_ = nullptr;
    bool writable_ = false;
    bool machine_ = true;
    BaseString path_;
};
