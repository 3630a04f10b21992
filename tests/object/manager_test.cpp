#include <gtest/gtest.h>

#include <stdexcept>

#include "object/manager.h"
#include "object/system.h"
#include "test_faces.h"
#include "test_support.h"

namespace {

template <class T>
Ref<T> CreateAs(Object::Manager& manager, const char16_t* clsid) {
    return Object::CreateWith<T>(manager, BaseString(clsid));
}

// A dynamic factory that makes TestObjects for any identifier under its keys
// and remembers what it was asked for.
class AnyClassFactory final : public Object::Impl<AnyClassFactory, Object::DynamicFactory> {
public:
    explicit AnyClassFactory(std::set<BaseString> keys) : keys_(std::move(keys)) {}

    Ref<BaseFace> CreateInstance(const BaseString& clsid, const Iid& iid) override {
        asked.push_back(clsid);
        Ref<TestObject> made = Object::New<TestObject>();
        return Ref<BaseFace>::Adopt(made->QueryFace(&iid));
    }
    void GetKeys(std::set<BaseString>& keys) override { keys.insert(keys_.begin(), keys_.end()); }
    Object::ClassRecord Describe(const BaseString& clsid) override {
        return {clsid, TestObject::InterfaceIds()};
    }
    void ListClasses(std::vector<Object::ClassRecord>&, const BaseString&,
                     const BaseString&) override {}

    std::vector<BaseString> asked;

private:
    std::set<BaseString> keys_;
};

// A component that implements only Counter.
class CountOnly final : public Object::Impl<CountOnly, Counter> {
public:
    static constexpr char16_t kClsid[] = u"CID_Test::CountOnly";
    int Count() override { return 7; }
};

TEST(Manager, CreatesItselfThroughItsSelfFactory) {
    Ref<Object::Manager> manager = Object::GetManager();
    Ref<Object::Manager> created =
        Object::Create<Object::Manager>(BaseString(u"CID_Object::Manager"));
    EXPECT_EQ(created.Identity(), manager.Identity());
    EXPECT_TRUE(manager->HasClass(BaseString(u"CID_Object::Manager")));
}

TEST(Manager, UnknownClassIsAnInternalErrorNamingIt) {
    ScopedLanguage english(0x0409);
    Ref<Object::Manager> manager = Object::NewManager();
    try {
        CreateAs<Counter>(*manager, u"CID_No::Such");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_TRUE(error.Has(ErrInternal));
        EXPECT_EQ(error.GetText(),
                  u"An internal error occurred (object: clsid-not-found(CID_No::Such)).");
    }
    EXPECT_FALSE(manager->HasClass(BaseString(u"CID_No::Such")));
    EXPECT_THROW(manager->DescribeClass(BaseString(u"CID_No::Such")), Error);
}

TEST(Manager, StaticFactoryDecidesWithoutFallingThroughToDynamicOnes) {
    Ref<Object::Manager> manager = Object::NewManager();
    Ref<Object::Factory> statics = Object::ClassFactory<CountOnly>();
    Ref<AnyClassFactory> dynamic = Object::New<AnyClassFactory>(std::set<BaseString>{u""});
    manager->AddFactory(statics);
    manager->AddFactory(dynamic);

    EXPECT_EQ(CreateAs<Counter>(*manager, CountOnly::kClsid)->Count(), 7);
    // CountOnly has no Greeter: the static factory's empty answer stands.
    EXPECT_THROW(CreateAs<Greeter>(*manager, CountOnly::kClsid), Error);
    EXPECT_TRUE(dynamic->asked.empty());

    EXPECT_EQ(CreateAs<Greeter>(*manager, u"CID_Test::Anything")->Greet(), 1);
    EXPECT_EQ(dynamic->asked, std::vector<BaseString>{u"CID_Test::Anything"});
}

TEST(Manager, DynamicFactoriesAreFoundByTheKeyBeforeTheFirstBar) {
    Ref<Object::Manager> manager = Object::NewManager();
    Ref<AnyClassFactory> plain = Object::New<AnyClassFactory>(std::set<BaseString>{u""});
    Ref<AnyClassFactory> plugins =
        Object::New<AnyClassFactory>(std::set<BaseString>{u"CID_Plugin"});
    manager->AddFactory(plain);
    manager->AddFactory(plugins);

    CreateAs<Counter>(*manager, u"CID_Plugin|CID_Thing|extra");
    CreateAs<Counter>(*manager, u"CID_Plugin");
    EXPECT_EQ(plugins->asked, std::vector<BaseString>{u"CID_Plugin|CID_Thing|extra"});
    EXPECT_EQ(plain->asked, std::vector<BaseString>{u"CID_Plugin"});
    EXPECT_THROW(CreateAs<Counter>(*manager, u"CID_Other|CID_Thing"), Error);
}

TEST(Manager, FactoriesAreHeldWeakly) {
    Ref<Object::Manager> manager = Object::NewManager();
    Ref<Object::Factory> statics = Object::ClassFactory<CountOnly>();
    manager->AddFactory(statics);
    EXPECT_TRUE(manager->HasClass(BaseString(CountOnly::kClsid)));
    statics.Reset();
    EXPECT_FALSE(manager->HasClass(BaseString(CountOnly::kClsid)));
}

TEST(Manager, ListsClassesByInterface) {
    Ref<Object::Manager> manager = Object::NewManager();
    Ref<Object::Factory> factory = Object::ClassFactory<CountOnly, TestObject>();
    manager->AddFactory(factory);
    std::vector<Object::ClassRecord> records;
    manager->ListClasses(records, BaseString(), BaseString(u"IID_Test::Greeter"));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].clsid, TestObject::kClsid);
    records.clear();
    manager->ListClasses(records, BaseString(), BaseString());
    EXPECT_EQ(records.size(), 3u);  // with the manager itself
}

// Start-up classes of this test program: one fails, the pass goes on.
std::atomic<int> g_started{0};

class FailingStartup final : public Object::Impl<FailingStartup, Object::Startup> {
public:
    static constexpr char16_t kClsid[] = u"CID_Test::AFailingStartup";
    FailingStartup() { throw Error(0, BaseString(u"fails"), false); }
};

class CountingStartup final : public Object::Impl<CountingStartup, Object::Startup> {
public:
    static constexpr char16_t kClsid[] = u"CID_Test::CountingStartup";
    CountingStartup() { ++g_started; }
};

Object::FactoryRegistration g_startup_classes{
    Object::ClassFactory<FailingStartup, CountingStartup>()};

TEST(Manager, StartupPassCreatesEachStartupClassOnceAndSwallowsFailures) {
    EXPECT_TRUE(Object::IsModuleStarted());
    EXPECT_EQ(g_started, 1);
    Object::ModuleStart();
    EXPECT_EQ(g_started, 1);
}

}  // namespace
