#include "launcher/window/html_dialog.h"

#include <utility>

#include "error/show_error.h"
#include "launcher/commands/close_menu.h"
#include "launcher/commands/link_command.h"
#include "launcher/commands/run_target.h"
#include "launcher/commands/shell_open.h"
#include "launcher/texts.h"
#include "launcher/window/html_view.h"
#include "mt/current_thread.h"
#include "object/manager.h"
#include "properties/product_settings.h"

namespace {

// Puts the page and the window back into use however the extension ends.
class BusyScope {
public:
    explicit BusyScope(HtmlView& view) : view_(view) { view_.BeginBusy(); }
    ~BusyScope() { view_.EndBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    HtmlView& view_;
};

// The view of the menu that runs: page extensions ask it to close by its
// window (CloseMenu).
HtmlView* running_view = nullptr;

void CloseRunningMenu(WindowHandle window) {
    if (running_view && running_view->window() == window) {
        running_view->Quit();
    }
}

class RunningScope {
public:
    explicit RunningScope(HtmlView& view) : outer_(std::exchange(running_view, &view)) {
        SetCloseMenuHandler(CloseRunningMenu);
    }
    ~RunningScope() { running_view = outer_; }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;

private:
    HtmlView* outer_;
};

}  // namespace

HtmlDialog::HtmlDialog() : view_(CreateHtmlView(*this)) {}

HtmlDialog::~HtmlDialog() = default;

void HtmlDialog::SetPage(const BaseString& page, const VisibilityMap& visibility) {
    page_ = page;
    visibility_ = visibility;
}

int32_t HtmlDialog::RunModal(WindowHandle owner) {
    RunningScope running(*view_);
    return view_->RunModal(owner);
}

void HtmlDialog::ExecuteLinkCommand(std::u16string_view url) {
    LinkCommand command = ParseLinkCommand(url);
    switch (command.kind) {
        case LinkCommand::Kind::kRun:
            // The shell's prompts and messages (elevation, errors, "open
            // with") come over the dialog, not behind it.
            ShellOpen(ResolveRunTarget(command.argument), view_->window());
            break;
        case LinkCommand::Kind::kInvoke:
            Invoke(command.argument);
            break;
        case LinkCommand::Kind::kQuit:
            view_->Quit();
            break;
        case LinkCommand::Kind::kNone:
            break;
    }
}

void HtmlDialog::Invoke(const BaseString& clsid) {
    BusyScope busy(*view_);
    try {
        LookupExtension(clsid)->Execute(view_->window());
    } catch (const Error& error) {
        ShowError(error, view_->window());
        Mt::CheckInterrupt();
    }
}

void HtmlDialog::RefreshVisibility() {
    for (const auto& [element_id, clsid] : visibility_) {
        bool visible = false;
        try {
            visible = (LookupExtension(clsid)->IsVisible() & 0xFF) != 0;
        } catch (const Error&) {
            Mt::CheckInterrupt();
        }
        view_->SetObjectVisibility(element_id, visible);
    }
}

Ref<Gui::PropertySheetExtension> HtmlDialog::LookupExtension(const BaseString& clsid) {
    auto cached = extension_cache_.find(clsid);
    if (cached != extension_cache_.end()) {
        return cached->second;
    }
    Ref<Gui::PropertySheetExtension> extension = Object::Create<Gui::PropertySheetExtension>(clsid);
    extension_cache_.emplace(clsid, extension);
    return extension;
}

WindowLook CurrentWindowLook() {
    return {BaseString(LocalizedText(DialogTitleText)),
            DecimalTextValue(LocalizedText(BrowserWidthText)),
            DecimalTextValue(LocalizedText(BrowserHeightText))};
}

BaseString WindowIconPath() {
    BaseString folder = ProductSettings::InstallFolder();
    if (folder.length() > 1 && !folder.view().ends_with(Base::kPathSeparator)) {
        folder += Base::kPathSeparator;
    }
    return folder + u"rsc" + std::u16string_view(&Base::kPathSeparator, 1) + u"appico.ico";
}

int DecimalTextValue(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i++] == u'-';
    }
    long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value < 1000000; ++i) {
        value = value * 10 + (text[i] - u'0');
    }
    return static_cast<int>(negative ? -value : value);
}
