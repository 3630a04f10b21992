#include "launcher/window/dialog_impl_win.h"

#include "error/messages.h"
#include "launcher/window/activation_context_win.h"
#include "launcher/window/dialog_marker.h"

namespace {

constexpr LONG_PTR kMarkerCreationParameter = 7777777;

// The template for the current language of the launcher's texts, else the
// one the platform picks; null when there is none.
const DLGTEMPLATE* FindDialogTemplate(int id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    auto language = static_cast<WORD>(CurrentLanguageId());
    HRSRC found = ::FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(id), language);
    if (!found) {
        found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    }
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    return loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

}  // namespace

DialogImpl::DialogImpl(int template_id)
    : template_id_(template_id),
      end_messages_{WM_ENDSESSION, ::RegisterWindowMessageW(L"Tarnis::LogoffMessage"),
                    ::RegisterWindowMessageW(L"Dravik::CancelDialog")} {}

int32_t DialogImpl::RunModal(WindowHandle owner) {
    auto owner_window = static_cast<HWND>(owner);
    const DLGTEMPLATE* dialog_template = FindDialogTemplate(template_id_);
    if (!dialog_template) {
        return kEndResult;
    }
    BeginModalRun();
    {
        ManifestActivation activation;
        ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialog_template, owner_window,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    }
    int32_t result = kEndResult;
    if (window_) {
        if (owner_window) {
            ::EnableWindow(owner_window, FALSE);
        }
        result = RunLoop();
        ::DestroyWindow(window_);
        window_ = nullptr;
        marker_ = nullptr;
        if (owner_window) {
            ::EnableWindow(owner_window, TRUE);
            ::SetForegroundWindow(owner_window);
        }
    }
    EndModalRun();
    return result;
}

int32_t DialogImpl::RunLoop() {
    MSG message;
    for (;;) {
        BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            return kEndResult;
        }
        if (message.message == kShowPageMessage && message.hwnd == window_) {
            ::ShowWindow(window_, SW_SHOW);
            ::SetFocus(FocusTarget());
            continue;
        }
        // Input methods, key remappers and accessibility tools turn messages
        // they swallow into message 0 for whatever window they were for: only
        // one for the dialog itself or its marker ends the run.
        if (message.message == WM_NULL && message.hwnd &&
            (message.hwnd == window_ || message.hwnd == marker_)) {
            return static_cast<int32_t>(message.wParam);
        }
        if (message.message == WM_KEYDOWN) {
            if (message.wParam == VK_ESCAPE) {
                return kEndResult;
            }
            // The content takes the key as an accelerator, or has it come as
            // any key does: a link acts on the Return its window receives.
            bool navigation = message.wParam == VK_TAB || message.wParam == VK_RETURN;
            if (!navigation || TranslateNavigationKey(message)) {
                continue;
            }
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// The dialog object comes with WM_INITDIALOG, the first message that reaches a
// dialog procedure with it; earlier messages get the platform's handling.
INT_PTR CALLBACK DialogImpl::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lparam);
        reinterpret_cast<DialogImpl*>(lparam)->window_ = window;
    }
    auto* self = reinterpret_cast<DialogImpl*>(::GetWindowLongPtrW(window, DWLP_USER));
    return self ? self->Dispatch(message, wparam, lparam) : FALSE;
}

INT_PTR DialogImpl::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    return HandleMessage(IsEndMessage(message), [&]() -> INT_PTR {
        if (message == WM_INITDIALOG && !PendingError().IsSet()) {
            CreateMarker();
        }
        INT_PTR result = 0;
        if (!OnMessage(message, wparam, lparam, result)) {
            return FALSE;
        }
        if (message == WM_INITDIALOG) {
            return result;
        }
        ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
        return TRUE;
    });
}

bool DialogImpl::IsEndMessage(UINT message) const {
    if (message == 0) {
        return false;
    }
    for (UINT end : end_messages_) {
        if (message == end) {
            return true;
        }
    }
    return false;
}

void DialogImpl::CreateMarker() {
    marker_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", WidePtr(kDialogMarkerText), WS_CHILD, 0,
                                0, 1, 1, window_, nullptr, ::GetModuleHandleW(nullptr),
                                reinterpret_cast<void*>(kMarkerCreationParameter));
}
