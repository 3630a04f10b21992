#include "base/win.h"

#include <exdisp.h>
#include <mshtmhst.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "error/error.h"
#include "launcher/window/browser_events_win.h"
#include "launcher/window/browser_host_win.h"
#include "launcher/window/dialog_impl_win.h"
#include "launcher/window/dialog_resources.h"
#include "launcher/window/html_dialog.h"
#include "launcher/window/html_view.h"
#include "launcher/window/page_script_win.h"
#include "launcher/window/page_security_win.h"
#include "launcher/window/page_stream_win.h"
#include "launcher/window/window_dpi_win.h"

using Microsoft::WRL::ComPtr;

namespace {

// Sent by the view to its dialog window: lParam points to the URL of a
// navigation, whose command the dialog runs.
constexpr UINT kLinkCommandMessage = 0x05B0;

// The control starts on this page; the real page replaces its document.
constexpr char16_t kPlaceholderUrl[] = u"about:quorra";

constexpr DWORD kHostStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
// No text selection, no scroll bars: the page is a fixed menu, not a document.
// No sunken edge, which would take two pixels of the page on every side. The
// page is zoomed by the system's DPI, as the window is sized by it.
constexpr DWORD kDocHostFlags = DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_SCROLL_NO |
                                DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER |
                                DOCHOSTUIFLAG_DPI_AWARE;

// The failure of one step of building the window, with the step's result.
[[noreturn]] void ThrowStepFailure(const char* tag, HRESULT result) {
    auto code = static_cast<uintptr_t>(static_cast<uint32_t>(result));
    throw Error::Internal(tag, "autorun", reinterpret_cast<const void*>(code));
}

HICON LoadWindowIcon() {
    BaseString path = WindowIconPath();
    return static_cast<HICON>(::LoadImageW(nullptr, WidePtr(path.c_str()), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON),
                                           ::GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE));
}

// The launcher's window on Win32: the dialog from the executable's template
// with the platform's web-browser control in a host window over its client
// area. The control starts on a placeholder page; when that has loaded, the
// real page replaces its document through a memory stream, and the window is
// shown once that document has completed too (or a second download has).
class HtmlViewWin final : public HtmlView, private DialogImpl, private BrowserEventHandler {
public:
    explicit HtmlViewWin(HtmlDialog& dialog)
        : DialogImpl(IDD_LAUNCHER), dialog_(dialog), icon_(LoadWindowIcon()) {}

    ~HtmlViewWin() override {
        if (icon_) {
            ::DestroyIcon(icon_);
        }
    }

    int32_t RunModal(WindowHandle owner) override;
    // The loop ends on the quit message, as posted to the window.
    void Quit() override { ::PostMessageW(DialogImpl::window(), WM_QUIT, 0, 0); }
    WindowHandle window() const override { return DialogImpl::window(); }
    void SetObjectVisibility(const BaseString& element_id, bool visible) override;
    void BeginBusy() override;
    void EndBusy() override;

private:
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;
    HWND FocusTarget() const override { return host_window_; }
    bool TranslateNavigationKey(MSG& message) override;

    bool OnBeforeNavigate(std::u16string_view url) noexcept override;
    bool OnNewWindow() noexcept override { return true; }
    void OnDocumentComplete() noexcept override;
    void OnDownloadComplete() noexcept override;

    void OnInitDialog();
    void FitPage(UINT dpi);
    void Centre();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void ZoomForDpi();
    void OnActivate(WPARAM wparam);
    bool BrowserHasFocus() const;
    void RunLinkCommand(LPARAM lparam);
    void LoadPage();
    void PageReady();
    void Disconnect();

    HtmlDialog& dialog_;
    HWND host_window_ = nullptr;
    // The page's size at 96 DPI, from the texts of the current language.
    SIZE page_size_{};
    // Whether the page has a zoom of its own for a monitor's DPI.
    bool zoomed_ = false;
    bool first_document_ = true;
    uint32_t downloads_ = 0;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<BrowserEvents> events_;
    HICON icon_;
    // The URL whose LinkCommandMessage is being sent: the only lParam the
    // message is taken with, whoever else sends or posts that number.
    const BaseString* link_url_ = nullptr;
    // A page that could not be handed to the control ends the run; RunModal
    // throws it once the window is gone.
    Error page_error_;
    HCURSOR busy_previous_cursor_ = nullptr;
};

int32_t HtmlViewWin::RunModal(WindowHandle owner) {
    first_document_ = true;
    zoomed_ = false;
    int32_t result = DialogImpl::RunModal(owner);
    if (page_error_.IsSet()) {
        throw std::exchange(page_error_, Error());
    }
    return result;
}

bool HtmlViewWin::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            result = FALSE;
            return true;
        case WM_CLOSE:
            ::PostQuitMessage(kEndResult);
            return true;
        case kLinkCommandMessage:
            RunLinkCommand(lparam);
            return true;
        case WM_COMMAND:
            if (HIWORD(wparam) != 0) {
                return false;
            }
            if (LOWORD(wparam) == IDCANCEL) {
                ::PostQuitMessage(kEndResult);
                return true;
            }
            return LOWORD(wparam) == IDC_SHOW_ON_STARTUP;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return true;
        case WM_ACTIVATE:
            OnActivate(wparam);
            return false;
        case WM_SETFOCUS:
            // The dialog itself has nothing to type into: the focus goes on to
            // the page (the dialog manager gives it to the dialog when it
            // finds no control to give it to).
            if (!host_window_) {
                return false;
            }
            ::SetFocus(host_window_);
            return true;
        case WM_DESTROY:
            Disconnect();
            return false;
    }
    return false;
}

// Activated with the focus nowhere (or left on another window), the page
// takes it; otherwise the keys would reach no window of the menu's.
void HtmlViewWin::OnActivate(WPARAM wparam) {
    if (LOWORD(wparam) != WA_INACTIVE && !HIWORD(wparam) && host_window_ && !BrowserHasFocus()) {
        ::SetFocus(host_window_);
    }
}

bool HtmlViewWin::BrowserHasFocus() const {
    HWND focus = ::GetFocus();
    return focus && (focus == host_window_ || ::IsChild(host_window_, focus));
}

void HtmlViewWin::OnInitDialog() {
    HWND dialog = DialogImpl::window();
    downloads_ = 0;
    WindowLook look = CurrentWindowLook();
    page_size_ = {look.browser_width, look.browser_height};
    ::DestroyWindow(::GetDlgItem(dialog, IDC_SHOW_ON_STARTUP));

    BrowserHost* host = nullptr;
    if (BrowserHost::RegisterWindowClass()) {
        host_window_ = ::CreateWindowExW(0, BrowserHost::kWindowClass, L"", kHostStyle, 0, 0,
                                         look.browser_width, look.browser_height, dialog, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr);
        host = BrowserHost::FromWindow(host_window_);
    }
    if (!host) {
        ThrowStepFailure("axctrl-crt-fld %p", HRESULT_FROM_WIN32(::GetLastError()));
    }
    FitPage(WindowDpi(dialog));
    // The template centred the window at its own size.
    Centre();
    // Set before the control reads them for its first document.
    host->SetContextMenuAllowed(false);
    host->SetDocHostFlags(kDocHostFlags);
    host->SetSecurityManager(PageSecurity::Create(kPlaceholderUrl, MediumFolderUrls()).Get());
    HRESULT result = host->CreateControl(WidePtr(kPlaceholderUrl));
    if (FAILED(result)) {
        ThrowStepFailure("axctrl-crt-fld %p", result);
    }

    ComPtr<IUnknown> control;
    host->QueryControl(IID_PPV_ARGS(&control));
    events_ = BrowserEvents::Create(this);
    result = events_->Connect(control.Get());
    if (FAILED(result)) {
        ThrowStepFailure("advsink-fld %p", result);
    }

    if (icon_) {
        ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    ::SetWindowTextW(dialog, WidePtr(look.title.c_str()));

    result = host->QueryControl(IID_PPV_ARGS(&browser_));
    if (FAILED(result)) {
        ThrowStepFailure("cont-qry3-fld %p", result);
    }
    browser_->put_Visible(VARIANT_TRUE);
    // No dialog of the control's own over the menu (the host already keeps
    // the page's script errors quiet).
    browser_->put_Silent(VARIANT_TRUE);
}

// The control calls back from inside its own code: the events hand their work
// to the dialog's message handling, which keeps failures out of the control.

bool HtmlViewWin::OnBeforeNavigate(std::u16string_view url) noexcept {
    // The placeholder's own navigation may be reported after the sink was
    // connected (the control starts it before): it loads, and is no command.
    if (first_document_ && url == kPlaceholderUrl) {
        return false;
    }
    BaseString command_url(url);
    const BaseString* outer = std::exchange(link_url_, &command_url);
    ::SendMessageW(DialogImpl::window(), kLinkCommandMessage, 0,
                   reinterpret_cast<LPARAM>(&command_url));
    link_url_ = outer;
    HandleMessage(false, [this] { dialog_.RefreshVisibility(); });
    return true;
}

// The page's area is the client area, the page's size at the DPI: the outer
// size adds what the caption and the frame take, whatever their size on this
// machine and monitor. The browser's host covers the client area.
void HtmlViewWin::FitPage(UINT dpi) {
    HWND dialog = DialogImpl::window();
    int width = ScaleForDpi(page_size_.cx, dpi);
    int height = ScaleForDpi(page_size_.cy, dpi);
    RECT outer, area;
    ::GetWindowRect(dialog, &outer);
    ::GetClientRect(dialog, &area);
    ::SetWindowPos(dialog, nullptr, 0, 0,
                   width + (outer.right - outer.left) - (area.right - area.left),
                   height + (outer.bottom - outer.top) - (area.bottom - area.top),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (host_window_) {
        ::SetWindowPos(host_window_, nullptr, 0, 0, width, height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// In the middle of the work area of the window's monitor, as the template's
// DS_CENTER places it; a window larger than the area keeps its top left
// corner inside.
void HtmlViewWin::Centre() {
    HWND dialog = DialogImpl::window();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const RECT& work = monitor.rcWork;
    RECT outer;
    ::GetWindowRect(dialog, &outer);
    int left = work.left + ((work.right - work.left) - (outer.right - outer.left)) / 2;
    int top = work.top + ((work.bottom - work.top) - (outer.bottom - outer.top)) / 2;
    ::SetWindowPos(dialog, nullptr, std::max(left, static_cast<int>(work.left)),
                   std::max(top, static_cast<int>(work.top)), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Moved to a monitor of another DPI: the window goes where the system
// suggests, then takes the page's size at the new DPI, and the page is zoomed
// to match.
void HtmlViewWin::OnDpiChanged(UINT dpi, const RECT& suggested) {
    ::SetWindowPos(DialogImpl::window(), nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    FitPage(dpi);
    ZoomForDpi();
}

// The control zooms its page by the system's DPI (DOCHOSTUIFLAG_DPI_AWARE),
// which is its zoom of 100 % times that DPI over 96. On a monitor of another
// DPI the window's is set as the zoom instead, and put back on the system's.
void HtmlViewWin::ZoomForDpi() {
    UINT dpi = WindowDpi(DialogImpl::window());
    if (!browser_ || (dpi == SystemDpi() && !zoomed_)) {
        return;
    }
    VARIANT zoom;
    ::VariantInit(&zoom);
    zoom.vt = VT_I4;
    zoom.lVal = ::MulDiv(100, static_cast<int>(dpi), static_cast<int>(kDefaultDpi));
    zoomed_ = SUCCEEDED(
        browser_->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &zoom, nullptr));
}

void HtmlViewWin::RunLinkCommand(LPARAM lparam) {
    if (link_url_ && lparam == reinterpret_cast<LPARAM>(link_url_)) {
        dialog_.ExecuteLinkCommand(link_url_->view());
    }
}

void HtmlViewWin::OnDocumentComplete() noexcept {
    HandleMessage(false, [this] {
        if (!first_document_) {
            PageReady();
            return;
        }
        first_document_ = false;
        try {
            LoadPage();
        } catch (const Error& error) {
            page_error_ = error;
            throw;
        }
    });
}

void HtmlViewWin::OnDownloadComplete() noexcept {
    HandleMessage(false, [this] {
        if (++downloads_ >= 2) {
            downloads_ = 2;
            PageReady();
        }
    });
}

void HtmlViewWin::LoadPage() {
    ComPtr<IStream> stream = MakePageStream(PageForTheControl(dialog_.page().view()).view());
    ComPtr<IDispatch> document;
    browser_->get_Document(&document);
    LoadDocument(document.Get(), stream.Get());
}

void HtmlViewWin::PageReady() {
    ZoomForDpi();
    dialog_.RefreshVisibility();
    ::PostMessageW(DialogImpl::window(), kShowPageMessage, 0, 0);
}

void HtmlViewWin::SetObjectVisibility(const BaseString& element_id, bool visible) {
    ComPtr<IDispatch> document;
    if (browser_ && SUCCEEDED(browser_->get_Document(&document)) && document) {
        CallScriptFunction(ScriptGlobal(document.Get()).Get(), u"SetObjectVisibility",
                           element_id.view(), visible);
    }
}

// S_OK: the control handled the key; S_FALSE: it is to reach the control's
// window as any key does.
bool HtmlViewWin::TranslateNavigationKey(MSG& message) {
    ComPtr<IOleInPlaceActiveObject> active;
    return browser_ && SUCCEEDED(browser_.As(&active)) &&
           active->TranslateAccelerator(&message) == S_OK;
}

void HtmlViewWin::BeginBusy() {
    busy_previous_cursor_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    ::EnableWindow(host_window_, FALSE);
}

void HtmlViewWin::EndBusy() {
    ::EnableWindow(host_window_, TRUE);
    ::EnableWindow(DialogImpl::window(), TRUE);
    // Disabled, the browser lost the focus and no window has it now: without
    // it back, Tab and Return would reach nothing. A dialog that is no longer
    // active gets it when it is activated again.
    if (::GetActiveWindow() == DialogImpl::window() && !BrowserHasFocus()) {
        ::SetFocus(host_window_);
    }
    ::SetCursor(busy_previous_cursor_);
}

// The control keeps the sink until it is closed with the host window; from the
// dialog's end on, the sink passes nothing on.
void HtmlViewWin::Disconnect() {
    if (events_) {
        events_->Disconnect();
        events_.Reset();
    }
    browser_.Reset();
    host_window_ = nullptr;
}

}  // namespace

std::unique_ptr<HtmlView> CreateHtmlView(HtmlDialog& dialog) {
    return std::make_unique<HtmlViewWin>(dialog);
}
