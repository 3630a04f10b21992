#include "object/compound_factory.h"

#include <algorithm>

namespace Object {

Ref<StaticFactory> CompoundFactory::FindStatic(const BaseString& clsid) {
    std::lock_guard lock(static_mutex_);
    auto found = static_map_.find(clsid);
    if (found == static_map_.end()) {
        return {};
    }
    Ref<StaticFactory> factory = found->second.Lock();
    if (!factory) {
        static_map_.erase(found);
        ++static_modifications_;
    }
    return factory;
}

std::vector<Ref<DynamicFactory>> CompoundFactory::LiveDynamic(const BaseString& key) {
    std::vector<Ref<DynamicFactory>> live;
    std::lock_guard lock(dynamic_mutex_);
    auto found = dynamic_map_.find(key);
    if (found == dynamic_map_.end()) {
        return live;
    }
    std::list<WeakRef<DynamicFactory>>& entries = found->second;
    live.reserve(entries.size());
    for (auto entry = entries.begin(); entry != entries.end();) {
        if (Ref<DynamicFactory> factory = entry->Lock()) {
            live.push_back(std::move(factory));
            ++entry;
        } else {
            entry = entries.erase(entry);
            ++dynamic_modifications_;
        }
    }
    if (entries.empty()) {
        dynamic_map_.erase(found);
    }
    return live;
}

std::vector<Ref<StaticFactory>> CompoundFactory::DistinctLiveStatic() {
    std::vector<Ref<StaticFactory>> live;
    std::lock_guard lock(static_mutex_);
    for (auto entry = static_map_.begin(); entry != static_map_.end();) {
        Ref<StaticFactory> factory = entry->second.Lock();
        if (!factory) {
            entry = static_map_.erase(entry);
            ++static_modifications_;
            continue;
        }
        bool known = std::any_of(live.begin(), live.end(), [&](const Ref<StaticFactory>& seen) {
            return seen.Identity() == factory.Identity();
        });
        if (!known) {
            live.push_back(std::move(factory));
        }
        ++entry;
    }
    return live;
}

Ref<BaseFace> CompoundFactory::CreateInstance(const BaseString& clsid, const Iid& iid) {
    if (Ref<StaticFactory> factory = FindStatic(clsid)) {
        return factory->CreateInstance(clsid, iid);
    }
    for (const Ref<DynamicFactory>& factory : LiveDynamic(ClassKey(clsid))) {
        if (Ref<BaseFace> made = factory->CreateInstance(clsid, iid)) {
            return made;
        }
    }
    return {};
}

Ref<BaseFace> CompoundFactory::Create(const BaseString& clsid) {
    Ref<StaticFactory> factory = FindStatic(clsid);
    return factory ? factory->Create(clsid) : Ref<BaseFace>();
}

void CompoundFactory::Describe(std::vector<ClassRecord>& records) {
    for (const Ref<StaticFactory>& factory : DistinctLiveStatic()) {
        factory->Describe(records);
    }
}

void CompoundFactory::GetKeys(std::set<BaseString>& keys) {
    std::lock_guard lock(dynamic_mutex_);
    for (const auto& entry : dynamic_map_) {
        keys.insert(entry.first);
    }
}

ClassRecord CompoundFactory::Describe(const BaseString& clsid) {
    if (Ref<StaticFactory> factory = FindStatic(clsid)) {
        std::vector<ClassRecord> records;
        factory->Describe(records);
        for (ClassRecord& record : records) {
            if (record.clsid == clsid) {
                return std::move(record);
            }
        }
    }
    for (const Ref<DynamicFactory>& factory : LiveDynamic(ClassKey(clsid))) {
        ClassRecord record = factory->Describe(clsid);
        if (!record.empty()) {
            return record;
        }
    }
    return {};
}

void CompoundFactory::ListClasses(std::vector<ClassRecord>& records, const BaseString& pattern,
                                  const BaseString& iid) {
    std::vector<ClassRecord> described;
    Describe(described);
    for (ClassRecord& record : described) {
        if (ClassMatches(record.clsid, pattern) && (iid.empty() || record.Implements(iid))) {
            records.push_back(std::move(record));
        }
    }
    for (const Ref<DynamicFactory>& factory : LiveDynamic(ClassKey(pattern))) {
        factory->ListClasses(records, pattern, iid);
    }
}

void CompoundFactory::Add(const Ref<Factory>& factory) {
    if (Ref<StaticFactory> static_factory = SoftCast<StaticFactory>(factory)) {
        std::vector<ClassRecord> records;
        static_factory->Describe(records);
        std::lock_guard lock(static_mutex_);
        for (const ClassRecord& record : records) {
            static_map_.try_emplace(record.clsid, static_factory);
        }
        ++static_modifications_;
    }
    if (Ref<DynamicFactory> dynamic_factory = SoftCast<DynamicFactory>(factory)) {
        std::set<BaseString> keys;
        dynamic_factory->GetKeys(keys);
        std::lock_guard lock(dynamic_mutex_);
        for (const BaseString& key : keys) {
            dynamic_map_[key].emplace_back(dynamic_factory);
        }
        ++dynamic_modifications_;
    }
}

}  // namespace Object
