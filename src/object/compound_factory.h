#pragma once

#include <list>
#include <map>
#include <mutex>

#include "object/factory.h"

namespace Object {

// Aggregates factories: a static map (class identifier -> weak reference to a
// static factory) and a dynamic multimap (key -> weak references to dynamic
// factories, in the order they were added), each behind its own lock and with
// its own modification counter. It is both a static and a dynamic factory, so
// compound factories nest. No factory is ever called under one of its locks.
class CompoundFactory final : public Impl<CompoundFactory, StaticFactory, DynamicFactory> {
public:
    // Static lookup first; a class a static factory serves is decided there, even
    // when the result is empty. Otherwise the dynamic factories of the class key,
    // in order, until one makes it.
    Ref<BaseFace> CreateInstance(const BaseString& clsid, const Iid& iid) override;

    Ref<BaseFace> Create(const BaseString& clsid) override;
    void Describe(std::vector<ClassRecord>& records) override;

    void GetKeys(std::set<BaseString>& keys) override;
    ClassRecord Describe(const BaseString& clsid) override;
    void ListClasses(std::vector<ClassRecord>& records, const BaseString& pattern,
                     const BaseString& iid) override;

    // Registers a static factory for each class it describes and a dynamic
    // factory for each key it serves (a factory may be both).
    void Add(const Ref<Factory>& factory);

private:
    Ref<StaticFactory> FindStatic(const BaseString& clsid);
    std::vector<Ref<DynamicFactory>> LiveDynamic(const BaseString& key);
    std::vector<Ref<StaticFactory>> DistinctLiveStatic();

    mutable std::mutex static_mutex_;
    std::map<BaseString, WeakRef<StaticFactory>> static_map_;
    uint32_t static_modifications_ = 0;

    mutable std::mutex dynamic_mutex_;
    std::map<BaseString, std::list<WeakRef<DynamicFactory>>> dynamic_map_;
    uint32_t dynamic_modifications_ = 0;
};

}  // namespace Object
