// Shows a finished page in the launcher's window, through the launcher's own
// run, for the end-to-end tests: the page is "page.html" of the current
// directory (UTF-8) and its bound elements are the lines "element-id class-id"
// of "visibility.txt" there. "CID_Test::ToggleExtension" is a page extension
// whose element is hidden until it has been invoked; invoking it also writes
// "invoked.txt". Without "page.html" the start-up fails.
#include <fstream>
#include <sstream>
#include <string>

#include "error/error.h"
#include "launcher/launcher.h"
#include "launcher/page/property_sheet_extension.h"
#include "object/factory.h"

namespace {

class ToggleExtension final : public Object::Impl<ToggleExtension, Gui::PropertySheetExtension> {
public:
    static constexpr char16_t kClsid[] = u"CID_Test::ToggleExtension";

    void Execute(WindowHandle) override {
        shown_ = !shown_;
        std::ofstream("invoked.txt") << "invoked\n";
    }
    uint32_t IsVisible() override { return shown_ ? 0x101 : 0x100; }

private:
    bool shown_ = false;
};

Object::FactoryRegistration registration{Object::ClassFactory<ToggleExtension>()};

std::string ReadFile(std::ifstream file) {
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class PageFile final : public LauncherPage {
public:
    const BaseString& text() const override { return text_; }
    const VisibilityMap& visibility() const override { return visibility_; }

    BaseString text_;
    VisibilityMap visibility_;
};

// A missing page fails the start-up as a missing template does.
std::unique_ptr<LauncherPage> ReadPage() {
    std::ifstream page_file("page.html", std::ios::binary);
    if (!page_file) {
        throw Error(0, BaseString(u"page.html cannot be read."), false);
    }
    auto page = std::make_unique<PageFile>();
    page->text_ = BaseString::FromUtf8(ReadFile(std::move(page_file)));
    std::istringstream lines(ReadFile(std::ifstream("visibility.txt")));
    std::string element_id, clsid;
    while (lines >> element_id >> clsid) {
        page->visibility_[BaseString::FromUtf8(element_id)] = BaseString::FromUtf8(clsid);
    }
    return page;
}

}  // namespace

int main() {
    return RunLauncher(ReadPage);
}
