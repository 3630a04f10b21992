#include "launcher/window/dialog_impl_win.h"

#include <cstdint>

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

[[noreturn]] void ThrowWindowFailure(const char* tag, DWORD code) {
    auto result = static_cast<uintptr_t>(static_cast<uint32_t>(HRESULT_FROM_WIN32(code)));
    throw Error::Internal(tag, "autorun", reinterpret_cast<const void*>(result));
}

// Escape, pressed with any window or none focused: with none, keys reach the
// active window as system keys (without the Alt key's bit, which Alt+Escape
// has: that switches windows as ever).
bool IsEscape(const MSG& message) {
    bool alt = (HIWORD(message.lParam) & KF_ALTDOWN) != 0;
    return message.wParam == VK_ESCAPE &&
           (message.message == WM_KEYDOWN || (message.message == WM_SYSKEYDOWN && !alt));
}

// A key pressed while no window has the focus (F10, the menu key, comes as a
// system key also with the focus).
bool IsKeyWithoutFocus(const MSG& message) {
    bool alt = (HIWORD(message.lParam) & KF_ALTDOWN) != 0;
    return message.message == WM_SYSKEYDOWN && !alt && message.wParam != VK_F10 && !::GetFocus();
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
        ThrowWindowFailure("dlg-tpl-fld %p", ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    shown_ = false;
    BeginModalRun();
    HWND created = nullptr;
    DWORD creation_error = ERROR_SUCCESS;
    {
        ManifestActivation activation;
        created =
            ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialog_template, owner_window,
                                         DialogProc, reinterpret_cast<LPARAM>(this));
        creation_error = created ? ERROR_SUCCESS : ::GetLastError();
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
    // A run that ends before its window was ever shown for a failure (of the
    // window's making, of the page's hand-over) tells why: otherwise the user
    // would see the launcher end without a word. An interruption is no
    // failure of the window's.
    const Error& failure = PendingError();
    if (!shown_ && failure.IsSet() && !failure.Has(ErrInterrupt)) {
        throw failure;
    }
    if (!created) {
        ThrowWindowFailure("dlg-crt-fld %p", creation_error);
    }
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
            shown_ = true;
            continue;
        }
        // Input methods, key remappers and accessibility tools turn messages
        // they swallow into message 0 for whatever window they were for: only
        // one for the dialog itself or its marker ends the run.
        if (message.message == WM_NULL && message.hwnd &&
            (message.hwnd == window_ || message.hwnd == marker_)) {
            return static_cast<int32_t>(message.wParam);
        }
        if (IsEscape(message)) {
            return kEndResult;
        }
        // The page takes the focus back, and the key goes no further.
        if (IsKeyWithoutFocus(message) && ::GetActiveWindow() == window_) {
            ::SetFocus(FocusTarget());
            continue;
        }
        // The page has its fixed size: Ctrl and the wheel do not zoom it.
        if (message.message == WM_MOUSEWHEEL &&
            (GET_KEYSTATE_WPARAM(message.wParam) & MK_CONTROL)) {
            continue;
        }
        if (message.message == WM_KEYDOWN) {
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
