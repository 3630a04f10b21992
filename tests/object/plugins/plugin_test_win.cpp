#include <gtest/gtest.h>

#include "base/win.h"
#include "object/library.h"
#include "object/manager.h"
#include "plugin_files.h"

namespace {

using LoadedInContext = bool (*)();

bool ProbeLoadedInContext(HMODULE module) {
    auto probe = reinterpret_cast<LoadedInContext>(
        reinterpret_cast<void*>(::GetProcAddress(module, "ContextProbe_LoadedInContext")));
    return probe && probe();
}

// This program has a manifest, as the launcher has: a plug-in is loaded inside
// the program's activation context, which a plain load on this thread is not.
TEST(PluginLibrariesOnWindows, LoadInsideTheProgramsActivationContext) {
    BaseString path(Built(u"context_probe").u16string());
    auto creator =
        Object::Create<Object::Library::Creator>(BaseString(Object::kLibraryCreatorClsid));
    Ref<Object::Library> library = creator->CreateLibrary(path);
    ASSERT_TRUE(library);
    EXPECT_TRUE(ProbeLoadedInContext(::GetModuleHandleW(WidePtr(path.c_str()))));
    library.Reset();
    ASSERT_EQ(::GetModuleHandleW(WidePtr(path.c_str())), nullptr);

    HMODULE plain = ::LoadLibraryW(WidePtr(path.c_str()));
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(ProbeLoadedInContext(plain));
    ::FreeLibrary(plain);
}

// A plug-in imports the runtime from the program it was built for: another
// program refuses it without loading it (the loader would map that program as
// a library).
TEST(PluginLibrariesOnWindows, RefuseAPluginBuiltForAnotherProgram) {
    BaseString path(Built(u"other_host").u16string());
    auto creator =
        Object::Create<Object::Library::Creator>(BaseString(Object::kLibraryCreatorClsid));
    EXPECT_FALSE(creator->CreateLibrary(path));
    EXPECT_EQ(::GetModuleHandleW(WidePtr(path.c_str())), nullptr);
}

}  // namespace
