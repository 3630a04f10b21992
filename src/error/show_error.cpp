#include "error/show_error.h"

#include "mt/current_thread.h"
#include "object/manager.h"

namespace {

constexpr uint32_t kExclamationOkBox = 0x30;

Ref<Gui::CommonDialogs> CreateCommonDialogs() {
    return Object::Create<Gui::CommonDialogs>(BaseString(Gui::kCommonDialogsClsid));
}

}  // namespace

void ShowError(const Error& error, WindowHandle owner) {
    try {
        CreateCommonDialogs()->ShowError(error, owner);
        return;
    } catch (const Error&) {
        Mt::CheckInterrupt();
    }
    if (error.Has(ErrUserCancel) || !error.IsSet()) {
        return;
    }
    ShowMessageBox(owner, error.GetText(), BaseString(u"Orvella"), kExclamationOkBox);
}

int ShowMessageBox(WindowHandle owner, const BaseString& text, const BaseString& caption,
                   uint32_t style) {
    try {
        return CreateCommonDialogs()->ShowMessageBox(owner, text, caption, style);
    } catch (const Error&) {
        Mt::CheckInterrupt();
    }
    return PlatformMessageBox(owner, text, caption, style);
}
