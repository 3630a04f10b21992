#include "properties/registry.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "properties/hive_store.h"

namespace Registry {

// A key handle: the hive and the path of the key in it. The key itself is
// looked up afresh in the current hive file by every call.
struct KeyObject {
    Hive hive;
    std::vector<std::u16string> path;
    bool writable;
};

namespace {

KeyObject g_machine_root{Hive::kMachine, {}, true};
KeyObject g_user_root{Hive::kUser, {}, true};

bool IsRoot(Key key) {
    return key == &g_machine_root || key == &g_user_root;
}

std::u16string_view Text(const char16_t* text) {
    return text ? std::u16string_view(text) : std::u16string_view();
}

// The parent's path and the components of `subkey` ("A\B\C"; empty ones are
// skipped, as a trailing "\" is).
std::vector<std::u16string> PathOf(Key parent, const char16_t* subkey) {
    std::vector<std::u16string> path = parent->path;
    std::u16string_view rest = Text(subkey);
    while (!rest.empty()) {
        size_t separator = rest.find(u'\\');
        std::u16string_view name = rest.substr(0, separator);
        if (!name.empty()) {
            path.emplace_back(name);
        }
        rest.remove_prefix(separator == std::u16string_view::npos ? rest.size() : separator + 1);
    }
    return path;
}

HiveKey* Find(const HiveKey& root, const std::vector<std::u16string>& path, size_t depth) {
    const HiveKey* key = &root;
    for (size_t i = 0; key && i < depth; ++i) {
        key = key->FindSubkey(path[i]);
    }
    return const_cast<HiveKey*>(key);
}

HiveKey* Find(const HiveKey& root, const std::vector<std::u16string>& path) {
    return Find(root, path, path.size());
}

// The key of a handle in the current hive; kErrorKeyDeleted once it is gone.
uint32_t Load(Key key, std::shared_ptr<const HiveKey>* hive, const HiveKey** found) {
    if (uint32_t result = LoadHive(key->hive, hive)) {
        return result;
    }
    *found = Find(**hive, key->path);
    return *found ? 0 : kErrorKeyDeleted;
}

uint32_t CopyName(const std::u16string& name, char16_t* buffer, uint32_t* length) {
    if (name.size() + 1 > *length) {
        return kErrorMoreData;
    }
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = 0;
    *length = static_cast<uint32_t>(name.size());
    return 0;
}

}  // namespace

Key MachineRoot() {
    return &g_machine_root;
}

Key UserRoot() {
    return &g_user_root;
}

uint32_t OpenKey(Key parent, const char16_t* subkey, Key* key, View) {
    std::vector<std::u16string> path = PathOf(parent, subkey);
    std::shared_ptr<const HiveKey> hive;
    if (uint32_t result = LoadHive(parent->hive, &hive)) {
        return result;
    }
    if (!Find(*hive, path)) {
        return Find(*hive, parent->path) ? kErrorFileNotFound : kErrorKeyDeleted;
    }
    *key = new KeyObject{parent->hive, std::move(path), false};
    return 0;
}

uint32_t CreateKey(Key parent, const char16_t* subkey, Key* key, View) {
    std::vector<std::u16string> path = PathOf(parent, subkey);
    for (size_t i = parent->path.size(); i < path.size(); ++i) {
        if (!IsValidKeyName(path[i])) {
            return kErrorInvalidParameter;
        }
    }
    uint32_t result = UpdateHive(parent->hive, [&](HiveKey& root, bool& changed) -> uint32_t {
        HiveKey* made = Find(root, parent->path);
        if (!made) {
            return kErrorKeyDeleted;
        }
        for (size_t i = parent->path.size(); i < path.size(); ++i) {
            HiveKey* owner = made;
            size_t before = owner->subkeys.size();
            made = &owner->Subkey(path[i]);
            changed = changed || owner->subkeys.size() != before;
        }
        return 0;
    });
    if (result == 0) {
        *key = new KeyObject{parent->hive, std::move(path), true};
    }
    return result;
}

void CloseKey(Key key) {
    if (!IsRoot(key)) {
        delete key;
    }
}

uint32_t QueryValue(Key key, const char16_t* name, uint32_t* type, uint8_t* data, uint32_t* size) {
    std::shared_ptr<const HiveKey> hive;
    const HiveKey* found;
    if (uint32_t result = Load(key, &hive, &found)) {
        return result;
    }
    const HiveValue* value = found->FindValue(Text(name));
    if (!value) {
        return kErrorFileNotFound;
    }
    if (type) {
        *type = value->type;
    }
    uint32_t needed = static_cast<uint32_t>(value->data.size());
    if (data && *size < needed) {
        *size = needed;
        return kErrorMoreData;
    }
    if (data) {
        std::copy(value->data.begin(), value->data.end(), data);
    }
    *size = needed;
    return 0;
}

uint32_t SetValue(Key key, const char16_t* name, uint32_t type, const uint8_t* data,
                  uint32_t size) {
    if (!key->writable) {
        return kErrorAccessDenied;
    }
    if (!IsValidValueName(Text(name))) {
        return kErrorInvalidParameter;
    }
    return UpdateHive(key->hive, [&](HiveKey& root, bool& changed) -> uint32_t {
        HiveKey* found = Find(root, key->path);
        if (!found) {
            return kErrorKeyDeleted;
        }
        HiveValue* value = found->FindValue(Text(name));
        if (!value) {
            found->values.push_back({std::u16string(Text(name)), 0, {}});
            value = &found->values.back();
        }
        value->type = type;
        value->data.assign(data, data + (data ? size : 0));
        changed = true;
        return 0;
    });
}

uint32_t DeleteValue(Key key, const char16_t* name) {
    if (!key->writable) {
        return kErrorAccessDenied;
    }
    return UpdateHive(key->hive, [&](HiveKey& root, bool& changed) -> uint32_t {
        HiveKey* found = Find(root, key->path);
        if (!found) {
            return kErrorKeyDeleted;
        }
        const HiveValue* value = found->FindValue(Text(name));
        if (!value) {
            return kErrorFileNotFound;
        }
        found->values.erase(found->values.begin() + (value - found->values.data()));
        changed = true;
        return 0;
    });
}

uint32_t QueryInfoKey(Key key, uint32_t* max_subkey_length, uint32_t* value_count,
                      uint32_t* max_value_name_length) {
    std::shared_ptr<const HiveKey> hive;
    const HiveKey* found;
    if (uint32_t result = Load(key, &hive, &found)) {
        return result;
    }
    size_t longest_subkey = 0;
    for (const auto& subkey : found->subkeys) {
        longest_subkey = std::max(longest_subkey, subkey->name.size());
    }
    size_t longest_value = 0;
    for (const HiveValue& value : found->values) {
        longest_value = std::max(longest_value, value.name.size());
    }
    if (max_subkey_length) {
        *max_subkey_length = static_cast<uint32_t>(longest_subkey);
    }
    if (value_count) {
        *value_count = static_cast<uint32_t>(found->values.size());
    }
    if (max_value_name_length) {
        *max_value_name_length = static_cast<uint32_t>(longest_value);
    }
    return 0;
}

uint32_t EnumValue(Key key, uint32_t index, char16_t* name, uint32_t* length, uint32_t* type) {
    std::shared_ptr<const HiveKey> hive;
    const HiveKey* found;
    if (uint32_t result = Load(key, &hive, &found)) {
        return result;
    }
    if (index >= found->values.size()) {
        return kErrorNoMoreItems;
    }
    const HiveValue& value = found->values[index];
    if (type) {
        *type = value.type;
    }
    return CopyName(value.name, name, length);
}

uint32_t EnumKey(Key key, uint32_t index, char16_t* name, uint32_t* length) {
    std::shared_ptr<const HiveKey> hive;
    const HiveKey* found;
    if (uint32_t result = Load(key, &hive, &found)) {
        return result;
    }
    if (index >= found->subkeys.size()) {
        return kErrorNoMoreItems;
    }
    return CopyName(found->subkeys[index]->name, name, length);
}

uint32_t DeleteKey(Key parent, const char16_t* subkey, View) {
    std::vector<std::u16string> path = PathOf(parent, subkey);
    if (path.size() == parent->path.size()) {
        return kErrorAccessDenied;  // not a subkey
    }
    return UpdateHive(parent->hive, [&](HiveKey& root, bool& changed) -> uint32_t {
        HiveKey* owner = Find(root, path, path.size() - 1);
        HiveKey* doomed = owner ? owner->FindSubkey(path.back()) : nullptr;
        if (!doomed) {
            return Find(root, parent->path) ? kErrorFileNotFound : kErrorKeyDeleted;
        }
        if (!doomed->subkeys.empty()) {
            return kErrorAccessDenied;
        }
        std::erase_if(owner->subkeys, [&](const auto& key) { return key.get() == doomed; });
        changed = true;
        return 0;
    });
}

}  // namespace Registry
