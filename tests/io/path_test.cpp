#include <gtest/gtest.h>

#ifdef _WIN32
#include "base/win.h"
#else
#include <dlfcn.h>
#endif

#include <filesystem>
#include <functional>

#include "base/platform.h"
#include "error/error.h"
#include "io/file_system.h"
#include "io/file_uri.h"
#include "io/path_factory.h"
#include "object/factory.h"
#include "object/manager.h"
#include "temp_folder.h"
#include "test_support.h"

namespace {

// The URI component is not part of the runtime; this one keeps what it is given.
class TestUri final : public Object::Impl<TestUri, Io::Uri> {
public:
    explicit TestUri(Io::UriComponents components) : components_(std::move(components)) {}
    Io::UriComponents components() override { return components_; }

private:
    Io::UriComponents components_;
};

class TestUriCreator final : public Object::Impl<TestUriCreator, Io::Uri::Creator> {
public:
    static constexpr char16_t kClsid[] = u"CID_Io::Uri_Creator";
    Ref<Io::Uri> create(const Io::UriComponents& components) override {
        return Object::New<TestUri>(components);
    }
};

Object::FactoryRegistration uri_creator{Object::ClassFactory<TestUriCreator>()};

Ref<Io::Fs::PathFactory> Factory() {
    return Object::Create<Io::Fs::PathFactory>(Io::Fs::kPathFactoryClsid);
}

BaseString CurrentDirectory() {
    return Io::NormalizePath(std::filesystem::current_path().u16string(), u"",
                             Io::FileSystem::NativeStyle());
}

BaseString Native(std::u16string_view name) {
    return Io::NormalizePath(name, CurrentDirectory(), Io::FileSystem::NativeStyle());
}

TEST(PathFactory, IsOneObjectThatAlsoServesTheFileUriHandler) {
    EXPECT_EQ(Factory(), Factory());
    EXPECT_TRUE(Object::GetManager()->HasClass(u"Io::UriScheme::Handler|file"));
}

TEST(PathFactory, NamesAreTakenRelativeToTheCurrentDirectory) {
    Ref<Io::Path> path = MakePath(u"rsc\\autorun.tpl");
    EXPECT_EQ(path->text(), Native(u"rsc/autorun.tpl"));
    EXPECT_EQ(path->name(), u"autorun.tpl");
    EXPECT_EQ(path->parentFolder()->name(), u"rsc");

    EXPECT_EQ(MakePath(u"")->text(), CurrentDirectory());
    Ref<Io::Path> from_integer = Factory()->create(Io::Fs::kPathFromName, Value(5), false);
    EXPECT_EQ(from_integer->text(), CurrentDirectory());
}

TEST(PathFactory, Failures) {
    ScopedLanguage english(0x0409);
    BaseString bad = u"x/" + BaseString(std::u16string(256, u'n'));
    EXPECT_FALSE(Factory()->create(Io::Fs::kPathFromName, Value(bad), true));
    EXPECT_EQ(
        ErrorOf([&] { Factory()->create(Io::Fs::kPathFromName, Value(bad), false); }).GetText(),
        u"An internal error occurred (fs: badpath '" + bad + u"').");
    EXPECT_EQ(ErrorOf([&] { Factory()->create(7, Value(), true); }).GetText(),
              u"An internal error occurred (fs: bad-pathtype(7)).");
    Ref<Io::Path> root = MakePath(u"")->root();
    EXPECT_EQ(ErrorOf([&] { root->resolve(u"a/../.."); }).GetText(),
              u"An internal error occurred (fs: badpath '" +
                  Io::ResolveText(root->text(), u"a/../..", Io::FileSystem::NativeStyle()) +
                  u"').");
}

TEST(PathFactory, ModuleFiles) {
    Ref<Io::Path> program = Factory()->create(Io::Fs::kPathOfModule, Value(), false);
    EXPECT_EQ(program->text(), Native(Base::ExecutablePath()));
    EXPECT_EQ(program->type(), Io::kTypeFile);

    Ref<Io::Path> missing =
        Factory()->create(Io::Fs::kPathOfModule, Value(u"no-such-module.so"), false);
    EXPECT_EQ(missing->text(), CurrentDirectory());

#ifdef _WIN32
    const char16_t* library = u"kernel32.dll";
#else
    const char16_t* library = u"libc.so.6";
#endif
    Ref<Io::Path> loaded = Factory()->create(Io::Fs::kPathOfModule, Value(library), false);
    EXPECT_EQ(loaded->type(), Io::kTypeFile);
    EXPECT_NE(loaded->name().ToUtf8().find(
                  library == std::u16string_view(u"libc.so.6") ? "libc" : "ernel32"),
              std::string::npos)
        << Utf8(loaded->text());

    // The same module named by its handle.
#ifdef _WIN32
    void* handle = ::GetModuleHandleW(L"kernel32.dll");
#else
    void* handle = dlopen("libc.so.6", RTLD_LAZY | RTLD_NOLOAD);
#endif
    ASSERT_NE(handle, nullptr);
    Ref<Io::Path> by_handle =
        Factory()->create(Io::Fs::kPathOfModule, Value::FromModule(handle), false);
    EXPECT_EQ(by_handle->text(), loaded->text());
#ifndef _WIN32
    dlclose(handle);
#endif
}

TEST(Path, WalksUpToItsRoot) {
    Ref<Io::Path> path = MakePath(u"a/b");
    Ref<Io::Path> root = path->root();
    EXPECT_EQ(root->name(), u"");
    EXPECT_FALSE(root->parentFolder());
    EXPECT_EQ(root->root()->text(), root->text());
    int steps = 0;
    for (Ref<Io::Path> p = path; p->text() != root->text(); p = p->parentFolder()) {
        ASSERT_LT(++steps, 1000);
    }
    EXPECT_EQ(path->resolve(root->text())->text(), root->text());
    EXPECT_EQ(path->resolve(u"../c")->text(), Native(u"a/c"));
}

TEST(Path, TypesAndTimes) {
    TempFolder temp;
    temp.WriteFile(u"f.txt", "x");
    EXPECT_EQ(temp.path()->type(), Io::kTypeFolder);
    EXPECT_EQ(temp.Child(u"f.txt")->type(), Io::kTypeFile);
    EXPECT_EQ(temp.Child(u"none")->type(), Io::kTypeNone);
    EXPECT_EQ(temp.Child(u"none/deeper")->type(), Io::kTypeNone);

    Ref<Io::Path> file = temp.Child(u"f.txt");
    const uint64_t kJan2001 = 126227808000000000;  // 2001-01-01 as a file time
    const uint64_t kYear = 315360000000000;
    uint64_t written = file->time(Io::kTimeLastWrite);
    EXPECT_GT(written, kJan2001);
    EXPECT_GT(file->time(Io::kTimeCreation), kJan2001);
    EXPECT_GT(file->time(Io::kTimeLastAccess), kJan2001);
    EXPECT_EQ(file->time(3), 0u);
    EXPECT_EQ(temp.Child(u"none")->time(Io::kTimeLastWrite), 0u);

    file->setTime(Io::kTimeLastWrite, kJan2001 + 12345670);
    EXPECT_EQ(file->time(Io::kTimeLastWrite), kJan2001 + 12345670);
    file->setTime(Io::kTimeLastAccess, kJan2001 + kYear);
    EXPECT_EQ(file->time(Io::kTimeLastAccess), kJan2001 + kYear);
    EXPECT_EQ(file->time(Io::kTimeLastWrite), kJan2001 + 12345670);

    // Folders, missing entries and unknown stamps are left alone.
    uint64_t folder_time = temp.path()->time(Io::kTimeLastWrite);
    temp.path()->setTime(Io::kTimeLastWrite, kJan2001);
    EXPECT_EQ(temp.path()->time(Io::kTimeLastWrite), folder_time);
    temp.Child(u"none")->setTime(Io::kTimeLastWrite, kJan2001);
    EXPECT_EQ(temp.Child(u"none")->type(), Io::kTypeNone);
    file->setTime(9, kJan2001);
    EXPECT_EQ(file->time(Io::kTimeLastWrite), kJan2001 + 12345670);
}

TEST(Path, FileUrisGoBothWays) {
    Ref<Io::Path> path = MakePath(u"dir/a b");
    Ref<Io::Uri> uri = Cast<Io::UriEnabled>(path, "fs")->uri();
    Io::UriComponents components = uri->components();
    ASSERT_EQ(components.size(), 2u);
    EXPECT_EQ(components[0], u"file");
    EXPECT_EQ(components[5], Io::FileUriComponents(path->text())[5]);

    auto handler = Object::Create<Io::UriScheme::Factory>(u"Io::UriScheme::Handler|file");
    Ref<Io::Path> back = Cast<Io::Path>(handler->create(components), "fs");
    EXPECT_EQ(back->text(), path->text());

    ScopedLanguage english(0x0409);
    components[5] = BaseString(u"/") + BaseString(std::u16string(256, u'n'));
    EXPECT_NE(ErrorOf([&] { handler->create(components); }).GetText().view().find(u"badpath"),
              std::u16string_view::npos);
}

}  // namespace
