// Page extensions that show an element only when the product is installed, or
// only when it is not. The product is installed when its installation folder
// (ProductSettings::InstallFolder) exists.
#include "base/platform.h"
#include "error/error.h"
#include "io/path_factory.h"
#include "launcher/page/property_sheet_extension.h"
#include "mt/current_thread.h"
#include "object/factory.h"
#include "properties/product_settings.h"

namespace {

// Asked anew at every refresh of the page, so that the page follows an
// installation started from it. A folder that cannot be looked at counts as
// "not installed".
bool ProductInstalled() {
    try {
        BaseString folder = ProductSettings::InstallFolder();
        return Base::IsFullPath(folder.view()) &&
               Io::Fs::PathFromName(folder)->type() == Io::kTypeFolder;
    } catch (const Error&) {
        Mt::CheckInterrupt();
        return false;
    }
}

class ShownWhenInstalled final
    : public Object::Impl<ShownWhenInstalled, Gui::PropertySheetExtension> {
public:
    static constexpr char16_t kClsid[] = u"CID_Orvella::ShownWhenInstalled";

    void Execute(WindowHandle) override {}
    uint32_t IsVisible() override { return ProductInstalled() ? 1 : 0; }
};

class ShownWhenNotInstalled final
    : public Object::Impl<ShownWhenNotInstalled, Gui::PropertySheetExtension> {
public:
    static constexpr char16_t kClsid[] = u"CID_Orvella::ShownWhenNotInstalled";

    void Execute(WindowHandle) override {}
    uint32_t IsVisible() override { return ProductInstalled() ? 0 : 1; }
};

Object::FactoryRegistration registration{
    Object::ClassFactory<ShownWhenInstalled, ShownWhenNotInstalled>()};

}  // namespace
