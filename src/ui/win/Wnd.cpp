#include "ui/win/Wnd.h"

#include "platform/Errors.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "ui/win/WndCreation.h"

#include <cwchar>
#include <stdexcept>

namespace {

// The object bound to a window, and the procedure it replaced. The
// procedure is kept with the window too, so a window whose object went
// away while someone else's procedure sat on top still reaches it.
const wchar_t kObjectProperty[] = L"ORVRemove.Window";
const wchar_t kProcedureProperty[] = L"ORVRemove.WindowProcedure";

// The message being handled on this thread, for Default().
struct CurrentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
thread_local CurrentMessage currentMessage{};

class CurrentMessageScope {
public:
    explicit CurrentMessageScope(const CurrentMessage& message) : saved_(currentMessage) {
        currentMessage = message;
    }
    ~CurrentMessageScope() { currentMessage = saved_; }
    CurrentMessageScope(const CurrentMessageScope&) = delete;
    CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;

private:
    CurrentMessage saved_;
};

WNDPROC StoredProcedure(HWND hwnd) noexcept {
    return reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kProcedureProperty));
}

// The child window that sent a notification to its parent, for the
// messages a parent reflects; null for the others.
HWND NotifyingChild(UINT message, LPARAM lParam) noexcept {
    switch (message) {
    case WM_NOTIFY:
        return lParam != 0 ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_COMMAND:
        // Menus and accelerators send no window.
        return reinterpret_cast<HWND>(lParam);
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        // Menus draw with ODT_MENU; controls may have id 0 (a list view's
        // header has).
        return item != nullptr && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    default:
        return nullptr;
    }
}

thread_local bool reportingException = false;

}  // namespace

CWnd::~CWnd() {
    if (hwnd_ != nullptr) UnsubclassWindow();
}

CWnd* CWnd::FromHandle(HWND hwnd) noexcept {
    return hwnd != nullptr ? static_cast<CWnd*>(::GetPropW(hwnd, kObjectProperty)) : nullptr;
}

void CWnd::Attach(HWND hwnd) {
    if (!::IsWindow(hwnd)) throw Windows::Error(ERROR_INVALID_WINDOW_HANDLE);
    if (hwnd_ != nullptr) throw std::logic_error("window object is bound already");
    if (FromHandle(hwnd) != nullptr) throw std::logic_error("window has an object already");
    if (!::SetPropW(hwnd, kObjectProperty, this)) ThrowLastError();
    ::SetLastError(0);
    const LONG_PTR previous = ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    const DWORD error = ::GetLastError();
    if (previous == 0 && error != 0) {
        ::RemovePropW(hwnd, kObjectProperty);
        throw Windows::Error(error);
    }
    previousProc_ = reinterpret_cast<WNDPROC>(previous);
    ::SetPropW(hwnd, kProcedureProperty, reinterpret_cast<HANDLE>(previous));
    hwnd_ = hwnd;
}

void CWnd::Detach() noexcept {
    if (hwnd_ == nullptr) return;
    ::RemovePropW(hwnd_, kObjectProperty);
    ::RemovePropW(hwnd_, kProcedureProperty);
    hwnd_ = nullptr;
}

void CWnd::SubclassWindow(HWND hwnd) {
    Attach(hwnd);
    OnSubclassed();
}

void CWnd::SubclassDlgItem(int id, HWND dialog) {
    HWND item = ::GetDlgItem(dialog, id);
    if (item == nullptr) ThrowLastError();
    SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow() noexcept {
    HWND hwnd = hwnd_;
    if (hwnd == nullptr) return nullptr;
    if (::IsWindow(hwnd)) {
        const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
        if (current == &Procedure) {
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
            Detach();
        } else {
            // Another procedure sits on top of ours and calls it: keep the
            // stored procedure so that ours passes everything on.
            ::RemovePropW(hwnd, kObjectProperty);
            hwnd_ = nullptr;
        }
    } else {
        hwnd_ = nullptr;
    }
    return hwnd;
}

void CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                    HWND parent, UINT id) {
    HWND hwnd = nullptr;
    {
        WindowCreationBinding binding(*this);
        HMENU menu = (style & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
        hwnd = ::CreateWindowExW(exStyle, className, text, style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, parent, menu, ::GetModuleHandleW(nullptr), nullptr);
        if (hwnd == nullptr) ThrowLastError();
        if (!binding.Bound()) {
            ::DestroyWindow(hwnd);
            throw std::logic_error("created window was not bound to its object");
        }
    }
    OnSubclassed();
}

BOOL CWnd::DestroyWindow() noexcept {
    return hwnd_ != nullptr ? ::DestroyWindow(hwnd_) : FALSE;
}

void CWnd::ModifyStyle(DWORD remove, DWORD add) noexcept {
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed != style) ::SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(changed));
}

RECT CWnd::GetClientRect() const noexcept {
    RECT rect{};
    ::GetClientRect(hwnd_, &rect);
    return rect;
}

RECT CWnd::GetRectInParent() const noexcept {
    RECT rect{};
    ::GetWindowRect(hwnd_, &rect);
    if (HWND parent = GetParent(); parent != nullptr && (GetStyle() & WS_CHILD) != 0)
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT milliseconds) noexcept {
    return ::SetTimer(hwnd_, id, milliseconds, nullptr);
}

BOOL CWnd::KillTimer(UINT_PTR id) noexcept {
    return ::KillTimer(hwnd_, id);
}

int CWnd::MessageBox(const std::wstring& text, const wchar_t* caption, UINT type) const {
    const std::wstring title = caption != nullptr ? std::wstring(caption) : WindowsPlatform::ExecutableBaseName();
    return WindowsPlatform::OwnedMessageBox(hwnd_, text, title, type);
}

LRESULT CALLBACK CWnd::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = FromHandle(hwnd);
    if (self == nullptr) {
        WNDPROC previous = StoredProcedure(hwnd);
        return previous != nullptr ? ::CallWindowProcW(previous, hwnd, message, wParam, lParam)
                                   : ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    CurrentMessageScope scope({hwnd, message, wParam, lParam});
    LRESULT result = 0;
    try {
        result = self->WindowProc(message, wParam, lParam);
    } catch (const UserCancelled&) {
        // The user stopped what the handler was doing: nothing to report.
    } catch (...) {
        ReportWindowException(hwnd, message);
    }
    if (message == WM_NCDESTROY) {
        // The object may be gone after PostNcDestroy; nothing touches it
        // afterwards, here or in the frames of outer messages.
        self->Detach();
        try {
            self->PostNcDestroy();
        } catch (...) {
            ReportWindowException(hwnd, message);
        }
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ReflectToChild(message, wParam, lParam, result)) return result;
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) return 0;
        break;
    case WM_NOTIFY:
        if (OnNotify(wParam, lParam, result)) return result;
        break;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    default:
        break;
    }
    return Default();
}

bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = NotifyingChild(message, lParam);
    if (child == nullptr || child == hwnd_) return false;
    CWnd* control = FromHandle(child);
    return control != nullptr && control->OnChildNotify(message, wParam, lParam, result);
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool CWnd::OnCommand(WPARAM, LPARAM) {
    return false;
}

bool CWnd::OnNotify(WPARAM, LPARAM, LRESULT&) {
    return false;
}

void CWnd::OnTimer(UINT_PTR) {
    Default();
}

LRESULT CWnd::Default() {
    const CurrentMessage& current = currentMessage;
    return CallDefault(current.message, current.wParam, current.lParam);
}

LRESULT CWnd::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_ != nullptr ? hwnd_ : currentMessage.hwnd;
    WNDPROC previous = previousProc_ != nullptr ? previousProc_ : StoredProcedure(hwnd);
    if (previous == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

int AfxMessageBox(const std::wstring& text, UINT type) {
    return WindowsPlatform::AppMessageBox(text, type);
}

void ReportWindowException(HWND hwnd, UINT message) noexcept {
    try {
        const std::string description = DescribeCurrentException();
        wchar_t lead[64];
        std::swprintf(lead, 64, L"Unhandled exception in window message 0x%04x: ", message);
        const std::wstring text = lead + TranscodeU8ToU16(description);
        ::OutputDebugStringW((text + L"\r\n").c_str());
        if (message == WM_PAINT && hwnd != nullptr) ::ValidateRect(hwnd, nullptr);
        if (reportingException) return;
        reportingException = true;
        struct Reset {
            ~Reset() { reportingException = false; }
        } reset;
        WindowsPlatform::AppMessageBox(text, MB_OK | MB_ICONERROR);
    } catch (...) {
        ::OutputDebugStringW(L"Unhandled exception in a window message; it could not be described\r\n");
    }
}
