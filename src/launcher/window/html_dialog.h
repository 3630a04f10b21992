#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>

#include "base/platform.h"
#include "base/string.h"
#include "launcher/page/page_builder.h"
#include "launcher/page/property_sheet_extension.h"
#include "object/ref.h"

class HtmlView;

// The launcher's window: one finished HTML page in the platform's web engine.
// The dialog owns the page, the components bound to its elements and what
// every click means; its view (HtmlView, one per platform) owns the window.
// The page is handed over in memory and the window stays hidden until the
// page has loaded and the visibility of its bound elements has been applied.
// The browser never navigates: every navigation becomes a link command and is
// cancelled; requests for new windows are refused.
class HtmlDialog {
public:
    HtmlDialog();
    ~HtmlDialog();
    HtmlDialog(const HtmlDialog&) = delete;
    HtmlDialog& operator=(const HtmlDialog&) = delete;

    // The page to show and the components deciding its elements' visibility.
    // Called once, before RunModal.
    void SetPage(const BaseString& page, const VisibilityMap& visibility);

    // Shows the page until the run ends (Escape, closing, "quit:", the end of
    // the session, a broadcast end message, a failure); 2 for every ending.
    int32_t RunModal(WindowHandle owner);

    const BaseString& page() const { return page_; }

    // Runs the command of a navigation URL: "run:" starts a file, "invoke:" a
    // page-extension component, "quit:" ends the run; anything else does
    // nothing.
    void ExecuteLinkCommand(std::u16string_view url);

    // Asks the component of each bound element whether it is shown and tells
    // the page through its script function SetObjectVisibility. A component
    // that cannot be created or fails counts as hidden.
    void RefreshVisibility();

private:
    void Invoke(const BaseString& clsid);
    Ref<Gui::PropertySheetExtension> LookupExtension(const BaseString& clsid);

    std::unique_ptr<HtmlView> view_;
    BaseString page_;
    VisibilityMap visibility_;
    std::map<BaseString, Ref<Gui::PropertySheetExtension>> extension_cache_;
};

// What the window shows besides the page, in the current language.
struct WindowLook {
    BaseString title;
    int browser_width;
    int browser_height;
};
WindowLook CurrentWindowLook();

// The window icon's file: "rsc/appico.ico" in the installed product's folder
// (ProductSettings::InstallFolder), or relative to the current directory when
// that is not known.
BaseString WindowIconPath();

// Leading blanks, an optional sign, then decimal digits; anything else ends the
// number, and text without digits is 0.
int DecimalTextValue(std::u16string_view text);
