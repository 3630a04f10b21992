// A page extension for "invoke:" links: opens the medium, the launcher's
// current folder, in the file manager (Explorer, or what xdg-open starts).
#include "io/path_factory.h"
#include "launcher/commands/shell_open.h"
#include "launcher/page/property_sheet_extension.h"
#include "object/factory.h"

namespace {

class BrowseMedium final : public Object::Impl<BrowseMedium, Gui::PropertySheetExtension> {
public:
    static constexpr char16_t kClsid[] = u"CID_Orvella::BrowseMedium";

    // The file manager's messages belong to the launcher's window.
    void Execute(WindowHandle owner) override {
        ShellOpen(Io::Fs::PathFromName(BaseString())->text(), owner);
    }
    uint32_t IsVisible() override { return 1; }
};

Object::FactoryRegistration registration{Object::ClassFactory<BrowseMedium>()};

}  // namespace
