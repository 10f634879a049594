#include "ui/win/ToolTip.h"

#include "platform/Errors.h"

#include <commctrl.h>

namespace {

TTTOOLINFOW ToolInfo(HWND control, UINT_PTR id) {
    TTTOOLINFOW info{};
    // The size every version of the common controls accepts.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = control;
    info.uId = id;
    return info;
}

}  // namespace

ToolTipWindow::~ToolTipWindow() {
    Destroy();
}

void ToolTipWindow::Destroy() noexcept {
    if (tip_ != nullptr && ::IsWindow(tip_)) ::DestroyWindow(tip_);
    tip_ = nullptr;
    control_ = nullptr;
    toolId_ = 0;
}

void ToolTipWindow::Create(HWND control) {
    Destroy();
    control_ = control;
    tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
    if (tip_ == nullptr) ThrowLastError();
}

void ToolTipWindow::SetMaxWidth(int pixels) noexcept {
    if (tip_ != nullptr) ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, pixels);
}

void ToolTipWindow::SetTool(UINT_PTR id, const RECT& rect) {
    if (tip_ == nullptr) return;
    if (id == toolId_) {
        if (id == 0) return;
        TTTOOLINFOW info = ToolInfo(control_, id);
        info.rect = rect;
        ::SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
        return;
    }
    if (toolId_ != 0) {
        TTTOOLINFOW old = ToolInfo(control_, toolId_);
        ::SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&old));
    }
    toolId_ = id;
    if (id == 0) return;
    TTTOOLINFOW info = ToolInfo(control_, id);
    info.rect = rect;
    info.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTipWindow::Relay(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (tip_ == nullptr || toolId_ == 0) return;
    MSG relayed{control_, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    relayed.pt.x = static_cast<short>(LOWORD(::GetMessagePos()));
    relayed.pt.y = static_cast<short>(HIWORD(::GetMessagePos()));
    ::SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}
