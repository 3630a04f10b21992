#pragma once

#include <set>
#include <vector>

#include "base/string.h"
#include "object/impl.h"
#include "object/ref.h"

namespace Object {

// A class identifier and the interfaces the class implements (IID_BaseFace
// always among them). An empty identifier means "no such class".
struct ClassRecord {
    BaseString clsid;
    std::vector<BaseString> interfaces;

    bool empty() const { return clsid.empty(); }
    bool Implements(const BaseString& iid) const;
};

// The key of a class identifier for dynamic factories: the text before its
// first "|", empty when it has none.
BaseString ClassKey(const BaseString& clsid);

// True when a class identifier matches a pattern: the empty pattern matches
// everything, a pattern without "|" that identifier only, and a pattern with
// "|" segment by segment, an empty pattern segment matching any segment.
bool ClassMatches(const BaseString& clsid, const BaseString& pattern);

class Factory : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Object::Factory"};
    using Parent = BaseFace;

    // The object of the class as the asked interface; empty when the class is
    // not served or lacks the interface.
    virtual Ref<BaseFace> CreateInstance(const BaseString& clsid, const Iid& iid) = 0;
};

class StaticFactory : public Factory {
public:
    static constexpr Iid kIid{u"IID_Object::StaticFactory"};
    using Parent = Factory;

    // A new object of the class, empty for identifiers this factory does not serve.
    virtual Ref<BaseFace> Create(const BaseString& clsid) = 0;
    // Appends one record per class served.
    virtual void Describe(std::vector<ClassRecord>& records) = 0;
};

class DynamicFactory : public Factory {
public:
    static constexpr Iid kIid{u"IID_Object::DynamicFactory"};
    using Parent = Factory;

    virtual void GetKeys(std::set<BaseString>& keys) = 0;
    // The record of one class, empty if it is not served.
    virtual ClassRecord Describe(const BaseString& clsid) = 0;
    virtual void ListClasses(std::vector<ClassRecord>& records, const BaseString& pattern,
                             const BaseString& iid) = 0;
};

// CreateInstance by Create, then the asked interface of the result.
Ref<BaseFace> CreateByStaticFactory(StaticFactory& factory, const BaseString& clsid,
                                    const Iid& iid);

// Creation under no lock: objects of the served classes are independent.
struct NoLockerFactory {
    struct Guard {};
    Guard Lock() { return {}; }
};

// A static factory over a factory class. The factory class says what it serves
// and how to make it:
//   struct MyFactoryClass {
//       static void Describe(std::vector<Object::ClassRecord>& records);
//       Ref<BaseFace> Create(const BaseString& clsid);  // empty when not served
//   };
template <class FactoryClass, class Locker = NoLockerFactory>
class FactoryImpl final : public Impl<FactoryImpl<FactoryClass, Locker>, StaticFactory> {
public:
    template <class... Args>
    explicit FactoryImpl(Args&&... args) : factory_class_(std::forward<Args>(args)...) {}

    Ref<BaseFace> CreateInstance(const BaseString& clsid, const Iid& iid) override {
        return CreateByStaticFactory(*this, clsid, iid);
    }
    Ref<BaseFace> Create(const BaseString& clsid) override {
        [[maybe_unused]] auto guard = locker_.Lock();
        return factory_class_.Create(clsid);
    }
    void Describe(std::vector<ClassRecord>& records) override { factory_class_.Describe(records); }

private:
    FactoryClass factory_class_;
    Locker locker_;
};

// The factory class for plain component classes, each made by `new` with no
// arguments and named by its `kClsid`.
template <class... Served>
struct ClassList {
    static void Describe(std::vector<ClassRecord>& records) {
        (records.push_back({BaseString(Served::kClsid), Served::InterfaceIds()}), ...);
    }
    Ref<BaseFace> Create(const BaseString& clsid) {
        Ref<BaseFace> made;
        ((!made && clsid == Served::kClsid
              ? (void)(made = Ref<BaseFace>::Adopt(AsBaseFace(new Served())))
              : (void)0),
         ...);
        return made;
    }
};

// The usual static factory: the given classes, each made with `new`.
template <class... Served>
Ref<Factory> ClassFactory() {
    return New<FactoryImpl<ClassList<Served...>>>();
}

// A static node of this module's registration list (last constructed first).
// Each module registers its factories this way; module start (for a plug-in
// library: its loading) adds them to the object manager:
//   static Object::FactoryRegistration registration{Object::ClassFactory<DocumentImpl>()};
// A registered factory lives as long as its module, so it does not count as a
// user of the module's lock: otherwise a plug-in library would never be idle.
class FactoryRegistration {
public:
    explicit FactoryRegistration(Ref<Factory> factory) noexcept;
    ~FactoryRegistration();
    FactoryRegistration(const FactoryRegistration&) = delete;
    FactoryRegistration& operator=(const FactoryRegistration&) = delete;

    static FactoryRegistration* Head() noexcept;
    FactoryRegistration* Next() const noexcept { return next_; }
    const Ref<Factory>& GetFactory() const noexcept { return factory_; }

private:
    FactoryRegistration* next_;
    Ref<Factory> factory_;
};

}  // namespace Object
