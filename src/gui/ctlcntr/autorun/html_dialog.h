#pragma once

#include <map>
#include <string>
#include <string_view>

#include "base/string.h"
#include "gui/ctlcntr/autorun/dialog_impl.h"
#include "gui/ctlcntr/autorun/property_sheet_extension.h"
#include "gui/ctlcntr/autorun/visibility_map.h"
#include "object/ref.h"

typedef struct _GCancellable GCancellable;
typedef struct _GdkPixbuf GdkPixbuf;

// The launcher's window: one finished HTML page in a web view (WebKitGTK). The
// page is handed over in memory, with the current directory as its base so
// that the medium's images and style sheets load. The window stays hidden
// until the page has loaded and the visibility of its bound elements has been
// applied. The browser never navigates: every navigation becomes a link
// command and is cancelled; requests for new windows are refused.
class HtmlDialog final : public DialogImpl {
public:
    HtmlDialog();
    ~HtmlDialog() override;

    // The page to show and the components deciding its elements' visibility.
    // Called once, before RunModal.
    void SetPage(const BaseString& page, const VisibilityMap& visibility);

    // Runs the command of a navigation URL: "run:" starts a file, "invoke:" a
    // page-extension component, "quit:" ends the run; anything else does
    // nothing.
    void ExecuteLinkCommand(std::u16string_view url);

    // Asks the component of each bound element whether it is shown and tells
    // the page through its script function SetObjectVisibility. A component
    // that cannot be created or fails counts as hidden.
    void RefreshVisibility();

private:
    struct Callbacks;

    void OnInitDialog() override;
    void LoadPage();
    void OnPageLoaded();
    void Invoke(const BaseString& clsid);
    Ref<Gui::PropertySheetExtension> LookupExtension(const BaseString& clsid);
    void SetObjectVisibility(const BaseString& element_id, bool visible);

    GtkWidget* web_view_ = nullptr;
    BaseString page_;
    std::string base_uri_;
    bool awaiting_page_ = false;
    VisibilityMap visibility_;
    std::map<BaseString, Ref<Gui::PropertySheetExtension>> extension_cache_;
    GdkPixbuf* icon_ = nullptr;
    GCancellable* pending_show_ = nullptr;
};
