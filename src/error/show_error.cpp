#include "error/show_error.h"

#include <atomic>

#include "error/common_dialogs.h"
#include "object/interrupt.h"
#include "object/manager.h"

namespace {

constexpr uint32_t kExclamationOkBox = 0x30;

std::atomic<MessageBoxFunction> g_message_box{PlatformMessageBox};

Ref<Gui::CommonDialogs> CreateCommonDialogs() {
    return Object::Create<Gui::CommonDialogs>(BaseString(Gui::kCommonDialogsClsid));
}

}  // namespace

void ShowError(const Error& error, WindowHandle owner) {
    try {
        CreateCommonDialogs()->ShowError(error, owner);
        return;
    } catch (const Error&) {
        Object::CheckInterrupt();
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
        Object::CheckInterrupt();
    }
    return g_message_box.load(std::memory_order_acquire)(owner, text, caption, style);
}

MessageBoxFunction InstallMessageBox(MessageBoxFunction message_box) {
    return g_message_box.exchange(message_box, std::memory_order_acq_rel);
}
