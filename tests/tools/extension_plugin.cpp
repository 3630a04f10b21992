// The page extensions of the page tool's test plug-ins. Each plug-in notes in
// "plugin-marks.txt" of the current folder when the runtime starts it, and the
// second one (SECOND_PLUGIN) serves a class of its own besides.
#include <fstream>

#include "launcher/window/property_sheet_extension.h"
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

Object::FactoryRegistration classes{Object::ClassFactory<Extension, NotAnExtension>()};

#ifdef SECOND_PLUGIN
class SecondOnly final : public Object::Impl<SecondOnly, Gui::PropertySheetExtension> {
public:
    static constexpr char16_t kClsid[] = u"CID_Test::SecondOnly";

    void Execute(WindowHandle) override {}
    uint32_t IsVisible() override { return 1; }
};

Object::FactoryRegistration second{Object::ClassFactory<SecondOnly>()};
#endif

void Start() {
    std::ofstream("plugin-marks.txt", std::ios::app) << PLUGIN_NAME << " started\n";
}

Object::LibraryStartup startup{&Start};

}  // namespace
