// The component classes of the test plug-ins and their start-up entry.
#include <string>

#include "marks.h"
#include "object/manager.h"
#include "object/plugin.h"
#include "probe.h"

namespace {

class NamedProbe final : public Object::Impl<NamedProbe, Probe> {
public:
    static constexpr const char16_t* kClsid = kProbeClsid;

    NamedProbe() : name_(BaseString::FromUtf8(PLUGIN_NAME)) {}
    explicit NamedProbe(BaseString name) : name_(std::move(name)) {}

    BaseString Name() override { return name_; }

private:
    BaseString name_;
};

class RefusingProbe final : public Object::Impl<RefusingProbe, Probe> {
public:
    static constexpr const char16_t* kClsid = kRefusingClsid;

    RefusingProbe() { throw Error::Internal("probe-refused(%d)", "probe", 42); }

    BaseString Name() override { return {}; }
};

class EchoFactory final : public Object::Impl<EchoFactory, Object::DynamicFactory> {
public:
    Ref<BaseFace> CreateInstance(const BaseString& clsid, const Iid& iid) override {
        if (Object::ClassKey(clsid) != kEchoKey) {
            return {};
        }
        Ref<NamedProbe> probe = Object::New<NamedProbe>(clsid.Substr(clsid.Find(u'|') + 1));
        return Ref<BaseFace>::Adopt(probe->QueryFace(&iid));
    }
    void GetKeys(std::set<BaseString>& keys) override { keys.insert(BaseString(kEchoKey)); }
    Object::ClassRecord Describe(const BaseString& clsid) override {
        if (Object::ClassKey(clsid) != kEchoKey) {
            return {};
        }
        return {clsid, NamedProbe::InterfaceIds()};
    }
    void ListClasses(std::vector<Object::ClassRecord>&, const BaseString&,
                     const BaseString&) override {}
};

// Creates a Probe through the process's manager when the test has registered
// the library there: the start-up list runs where the library can be entered.
void Start() {
    Mark("started");
    if (Object::GetManager()->HasClass(BaseString(kProbeClsid))) {
        std::string created =
            "created " + Object::Create<Probe>(BaseString(kProbeClsid))->Name().ToUtf8();
        Mark(created.c_str());
    }
}

Object::FactoryRegistration classes{Object::ClassFactory<NamedProbe, RefusingProbe>()};
Object::FactoryRegistration echo{Object::New<EchoFactory>()};
Object::LibraryStartup startup{&Start};

}  // namespace
