#include "properties/persistent_properties.h"

#include <cstring>

#include "error/error.h"

namespace {

constexpr char kModule[] = "infvn2";

BaseString KeyPath(const BaseString& name) {
    return BaseString(u"SOFTWARE\\") + name;
}

}  // namespace

PersistentProperties::PersistentProperties() : path_(KeyPath(BaseString())) {}

PersistentProperties::PersistentProperties(const BaseString& name, PropertyScope scope)
    : machine_(scope == PropertyScope::kMachine), path_(KeyPath(name)) {}

PersistentProperties::~PersistentProperties() {
    Close();
}

void PersistentProperties::SetKey(const BaseString& name, PropertyScope scope) {
    BaseString path = KeyPath(name);
    bool machine = scope == PropertyScope::kMachine;
    if (path != path_ || machine_ != machine) {
        Close();
        path_ = path;
        machine_ = machine;
    }
}

BaseString PersistentProperties::DisplayPath(const BaseString& value_name) const {
    BaseString path(machine_ ? u"HKEY_LOCAL_MACHINE\\" : u"HKEY_CURRENT_USER\\");
    path += path_;
    if (!value_name.empty()) {
        path += u'\\';
        path += value_name;
    }
    return path;
}

Registry::Key PersistentProperties::Root() const {
    return machine_ ? Registry::MachineRoot() : Registry::UserRoot();
}

void PersistentProperties::Close() {
    if (key_) {
        Registry::CloseKey(key_);
        key_ = nullptr;
    }
}

Registry::Key PersistentProperties::Open(OpenMode mode) {
    if (key_ && !writable_ && mode.create) {
        Close();
    }
    if (!key_) {
        Registry::Key key = nullptr;
        uint32_t result = mode.create ? Registry::CreateKey(Root(), path_.c_str(), &key)
                                      : Registry::OpenKey(Root(), path_.c_str(), &key);
        if (result != 0) {
            if (!mode.throw_on_error ||
                (!mode.throw_when_missing && result == Registry::kErrorFileNotFound)) {
                return nullptr;
            }
            throw Error::Internal("reg-open-key('%s') err=%d", kModule, DisplayPath(), result);
        }
        key_ = key;
        writable_ = mode.create;
    }
    return key_;
}

bool PersistentProperties::Read(const BaseString& name, uint32_t wanted_type, ByteBuffer* data,
                                uint32_t* result) {
    uint32_t type = Registry::kTypeNone;
    uint32_t size = 0;
    *result = Registry::QueryValue(key_, name.c_str(), &type, nullptr, &size);
    if (*result != 0 || type != wanted_type) {
        return false;
    }
    ByteBuffer bytes;
    if (size > 0) {
        bytes.Resize(size);
        *result = Registry::QueryValue(key_, name.c_str(), &type, bytes.MutableData(), &size);
        if (*result != 0 || type != wanted_type) {
            return false;
        }
        bytes.Resize(size);
    }
    *data = bytes;
    return true;
}

bool PersistentProperties::ReadDword(const BaseString& name, uint32_t* value, uint32_t* result) {
    uint8_t bytes[4] = {};
    uint32_t size = sizeof bytes;
    uint32_t type = Registry::kTypeNone;
    *result = Registry::QueryValue(key_, name.c_str(), &type, bytes, &size);
    if (*result != 0 || type != Registry::kTypeDword) {
        return false;
    }
    *value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
}

void PersistentProperties::ThrowReadFailure(const BaseString& name, uint32_t result,
                                            const char16_t* expected_type) const {
    if (result != 0) {
        throw Error::Internal("reg-query-val('%s') err=%d", kModule, DisplayPath(name), result);
    }
    throw Error::Internal("reg-val-badtype('%s') %s expected", kModule, DisplayPath(name),
                          expected_type);
}

namespace {

BaseString StringOf(const ByteBuffer& data) {
    std::u16string text(data.size() / 2, u'\0');
    std::memcpy(text.data(), data.data(), text.size() * 2);
    return BaseString(text.c_str());  // ends at the first zero
}

}  // namespace

BaseString PersistentProperties::GetString(const BaseString& name,
                                           const BaseString& default_value) {
    ByteBuffer data;
    uint32_t result;
    if (!Open(kQuietRead) || !Read(name, Registry::kTypeString, &data, &result)) {
        return default_value;
    }
    return StringOf(data);
}

BaseString PersistentProperties::GetString(const BaseString& name) {
    Open(kRequiredRead);
    ByteBuffer data;
    uint32_t result;
    if (!Read(name, Registry::kTypeString, &data, &result)) {
        ThrowReadFailure(name, result, u"REG_SZ");
    }
    return StringOf(data);
}

uint32_t PersistentProperties::GetDword(const BaseString& name, uint32_t default_value) {
    uint32_t value;
    uint32_t result;
    if (!Open(kQuietRead) || !ReadDword(name, &value, &result)) {
        return default_value;
    }
    return value;
}

uint32_t PersistentProperties::GetDword(const BaseString& name) {
    Open(kRequiredRead);
    uint32_t value;
    uint32_t result;
    if (!ReadDword(name, &value, &result)) {
        ThrowReadFailure(name, result, u"REG_DWORD");
    }
    return value;
}

ByteBuffer PersistentProperties::GetBinary(const BaseString& name,
                                           const ByteBuffer& default_value) {
    ByteBuffer data;
    uint32_t result;
    if (!Open(kQuietRead) || !Read(name, Registry::kTypeBinary, &data, &result)) {
        return default_value;
    }
    return data;
}

ByteBuffer PersistentProperties::GetBinary(const BaseString& name) {
    Open(kRequiredRead);
    ByteBuffer data;
    uint32_t result;
    if (!Read(name, Registry::kTypeBinary, &data, &result)) {
        ThrowReadFailure(name, result, u"REG_BINARY");
    }
    return data;
}

Properties::Handle PersistentProperties::GetHandle(const BaseString&, Handle default_value) {
    return default_value;
}

Properties::Handle PersistentProperties::GetHandle(const BaseString&) {
    throw Error::Internal("pprop-gethandle-notsupp", kModule);
}

void PersistentProperties::Write(const BaseString& name, uint32_t type, const void* data,
                                 uint32_t size) {
    Registry::Key key = Open(kWrite);
    uint32_t result =
        Registry::SetValue(key, name.c_str(), type, static_cast<const uint8_t*>(data), size);
    if (result != 0) {
        throw Error::Internal("reg-set-value('%s') err=%d", kModule, DisplayPath(name), result);
    }
}

void PersistentProperties::SetString(const BaseString& name, const BaseString& value) {
    Write(name, Registry::kTypeString, value.c_str(),
          static_cast<uint32_t>(value.length() * 2 + 2));
}

void PersistentProperties::SetDword(const BaseString& name, uint32_t value) {
    uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    Write(name, Registry::kTypeDword, bytes, sizeof bytes);
}

void PersistentProperties::SetBinary(const BaseString& name, const ByteBuffer& value) {
    Write(name, Registry::kTypeBinary, value.data(), static_cast<uint32_t>(value.size()));
}

void PersistentProperties::SetHandle(const BaseString&, Handle) {
    throw Error::Internal("pprop-sethandle-notimpl", kModule);
}

uint32_t PersistentProperties::DeleteValue(const BaseString& name) {
    if (!Open(kProbe)) {
        return Registry::kErrorFileNotFound;
    }
    uint32_t result = Registry::DeleteValue(Open(kWrite), name.c_str());
    if (result != 0 && result != Registry::kErrorFileNotFound) {
        throw Error::Internal("reg-delete-val('%s') err=%d", kModule, DisplayPath(name), result);
    }
    return result;
}

Properties::ValueType PersistentProperties::GetValueType(const BaseString& name) {
    Registry::Key key = Open(kProbe);
    if (!key) {
        return kMissing;
    }
    uint32_t type = Registry::kTypeNone;
    uint32_t size = 0;
    uint32_t result = Registry::QueryValue(key, name.c_str(), &type, nullptr, &size);
    if (result == Registry::kErrorFileNotFound) {
        return kMissing;
    }
    if (result != 0) {
        throw Error::Internal("reg-query-val('%s') err=%d", kModule, DisplayPath(name), result);
    }
    switch (type) {
        case Registry::kTypeDword:
            return kDword;
        case Registry::kTypeString:
            return kString;
        case Registry::kTypeBinary:
            return kBinary;
        default:
            return kMissing;
    }
}

namespace {

// A buffer for the longest value name of the key.
std::u16string ValueNameBuffer(Registry::Key key, const BaseString& display_path) {
    uint32_t longest = 0;
    uint32_t result = Registry::QueryInfoKey(key, nullptr, nullptr, &longest);
    if (result != 0) {
        throw Error::Internal("reg-query-info('%s') err=%d", kModule, display_path, result);
    }
    return std::u16string(longest + 1, u'\0');
}

}  // namespace

std::vector<BaseString> PersistentProperties::ListValues() {
    std::vector<BaseString> names;
    Registry::Key key = Open(kProbe);
    if (!key) {
        return names;
    }
    std::u16string name = ValueNameBuffer(key, DisplayPath());
    for (uint32_t index = 0;; ++index) {
        uint32_t length = static_cast<uint32_t>(name.size());
        uint32_t type = Registry::kTypeNone;
        uint32_t result = Registry::EnumValue(key, index, name.data(), &length, &type);
        if (result == Registry::kErrorNoMoreItems) {
            return names;
        }
        if (result != 0) {
            throw Error::Internal("reg-enum-val('%s') err=%d", kModule, DisplayPath(), result);
        }
        if (type == Registry::kTypeString || type == Registry::kTypeDword ||
            type == Registry::kTypeBinary) {
            names.emplace_back(name.data(), length);
        }
    }
}

void PersistentProperties::DeleteAllValues() {
    Registry::Key key = Open(kProbe);
    if (!key) {
        return;
    }
    std::u16string name = ValueNameBuffer(key, DisplayPath());
    for (;;) {
        uint32_t length = static_cast<uint32_t>(name.size());
        uint32_t result = Registry::EnumValue(key_, 0, name.data(), &length, nullptr);
        if (result == Registry::kErrorNoMoreItems) {
            return;
        }
        if (result != 0) {
            throw Error::Internal("reg-enum-val('%s') err=%d", kModule, DisplayPath(), result);
        }
        BaseString value(name.data(), length);
        result = Registry::DeleteValue(Open(kWrite), value.c_str());
        if (result != 0) {
            throw Error::Internal("reg-delete-val('%s') err=%d", kModule, DisplayPath(value),
                                  result);
        }
    }
}

uint32_t PersistentProperties::DeleteTree(Registry::Key parent, const BaseString& subkey) {
    Registry::Key key;
    uint32_t result = Registry::OpenKey(parent, subkey.c_str(), &key);
    if (result == Registry::kErrorFileNotFound) {
        return 0;
    }
    if (result != 0) {
        return result;
    }
    uint32_t longest = 0;
    result = Registry::QueryInfoKey(key, &longest, nullptr, nullptr);
    std::u16string name(longest + 1, u'\0');
    while (result == 0) {
        uint32_t length = static_cast<uint32_t>(name.size());
        result = Registry::EnumKey(key, 0, name.data(), &length);
        if (result == Registry::kErrorNoMoreItems) {
            result = 0;
            break;
        }
        if (result == 0) {
            result = DeleteTree(key, BaseString(name.data(), length));
        }
    }
    Registry::CloseKey(key);
    return result != 0 ? result : Registry::DeleteKey(parent, subkey.c_str());
}

void PersistentProperties::DeleteKey() {
    Close();
    uint32_t result = DeleteTree(Root(), path_);
    if (result != 0) {
        throw Error::Internal("reg-delete-key('%s') err=%d", kModule, DisplayPath(), result);
    }
}
