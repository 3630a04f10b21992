#include "object/manager.h"

#include "object/compound_factory.h"
#include "object/singleton.h"

namespace Object {

namespace {

// The static factory registered first in every manager: its one class is the
// manager itself.
class SelfFactory final : public Impl<SelfFactory, StaticFactory> {
public:
    explicit SelfFactory(const Ref<Manager>& manager) : manager_(manager) {}

    Ref<BaseFace> CreateInstance(const BaseString& clsid, const Iid& iid) override {
        return CreateByStaticFactory(*this, clsid, iid);
    }
    Ref<BaseFace> Create(const BaseString& clsid) override {
        if (clsid != kManagerClsid) {
            return {};
        }
        return manager_.Lock();
    }
    void Describe(std::vector<ClassRecord>& records) override {
        records.push_back({BaseString(kManagerClsid),
                           {BaseString(Manager::kIid.text), BaseString(BaseFace::kIid.text)}});
    }

private:
    WeakRef<Manager> manager_;
};

class ManagerImpl final : public Impl<ManagerImpl, Manager> {
public:
    ManagerImpl() : factories_(New<CompoundFactory>()) {}

    void Init() {
        self_factory_ = New<SelfFactory>(Ref<Manager>::Share(this));
        factories_->Add(self_factory_);
    }

    Ref<BaseFace> Create(const BaseString& clsid, const Iid& iid) override {
        Ref<BaseFace> made = factories_->CreateInstance(clsid, iid);
        if (!made) {
            throw Error::Internal("clsid-not-found(%s)", "object", clsid);
        }
        return made;
    }

    bool HasClass(const BaseString& clsid) override { return !factories_->Describe(clsid).empty(); }

    ClassRecord DescribeClass(const BaseString& clsid) override {
        ClassRecord record = factories_->Describe(clsid);
        if (record.empty()) {
            throw Error::Internal("clsid-not-found(%s)", "object", clsid);
        }
        return record;
    }

    void ListClasses(std::vector<ClassRecord>& records, const BaseString& pattern,
                     const BaseString& iid) override {
        factories_->ListClasses(records, pattern, iid);
    }

    void AddFactory(const Ref<Factory>& factory) override { factories_->Add(factory); }

private:
    Ref<CompoundFactory> factories_;
    Ref<SelfFactory> self_factory_;
};

}  // namespace

Ref<Manager> NewManager() {
    Ref<ManagerImpl> manager = New<ManagerImpl>();
    manager->Init();
    return manager;
}

Ref<Manager> GetManager() {
    static WeakSingleton<Manager> singleton;
    return singleton.Get(NewManager);
}

}  // namespace Object
