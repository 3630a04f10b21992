// The page extensions of the page tool's test plug-ins. Each plug-in serves the
// same two classes and one named after itself ("CID_Test::<name>"), and notes
// in "plugin-marks.txt" of the current folder when the runtime starts it; with
// START_FAILS its start-up fails.
#include <fstream>

#include "error/error.h"
#include "launcher/page/property_sheet_extension.h"
#include "object/factory.h"
#include "object/plugin.h"

namespace {

class Extension final : public Object::Impl<Extension, Gui::PropertySheetExtension> {
public:
    static constexpr char16_t kClsid[] = u"CID_Test::Extension";

    void Execute(WindowHandle) override {}
    uint32_t IsVisible() override { return 1; }
};

// A class the launcher cannot use as a page extension.
class Other : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Test::Other"};
    using Parent = BaseFace;
};

class NotAnExtension final : public Object::Impl<NotAnExtension, Other> {
public:
    static constexpr char16_t kClsid[] = u"CID_Test::NotAnExtension";
};

class OwnExtension final : public Object::Impl<OwnExtension, Gui::PropertySheetExtension> {
public:
    static constexpr char16_t kClsid[] = u"CID_Test::" PLUGIN_NAME;

    void Execute(WindowHandle) override {}
    uint32_t IsVisible() override { return 1; }
};

Object::FactoryRegistration classes{
    Object::ClassFactory<Extension, NotAnExtension, OwnExtension>()};

void Start() {
    std::ofstream("plugin-marks.txt", std::ios::app | std::ios::binary)
        << PLUGIN_NAME << " started\n";
#ifdef START_FAILS
    throw Error::Internal("start-failed(%s)", "test", BaseString(u"" PLUGIN_NAME));
#endif
}

Object::LibraryStartup startup{&Start};

}  // namespace
