#pragma once
// A window object bound to one HWND. The object replaces the window's
// procedure (subclassing) and receives every message through the virtual
// WindowProc; what it does not handle goes on to the procedure it replaced.
// The parent reflects WM_NOTIFY, WM_COMMAND and WM_DRAWITEM of a child that
// is a CWnd to that child first (OnChildNotify), so a control handles its
// own notifications.
//
// Every message handler runs inside a catch-all: an exception never crosses
// a Windows frame. See ReportWindowException for what happens to it.

#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    // Gives the window back its own procedure if it still exists.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const noexcept { return hwnd_; }
    operator HWND() const noexcept { return hwnd_; }

    // The object bound to hwnd, or null when hwnd is no window of ours.
    static CWnd* FromHandle(HWND hwnd) noexcept;

    // Binds the object to an existing window and routes its messages through
    // WindowProc. Throws Windows::Error when hwnd is no window and
    // std::logic_error when either side is bound already.
    void SubclassWindow(HWND hwnd);
    // Binds the object to the dialog's control with that id (what a dialog's
    // data exchange does for its control members).
    void SubclassDlgItem(int id, HWND dialog);
    // Unbinds the object; the window keeps working with its own procedure.
    HWND UnsubclassWindow() noexcept;

    // Creates a window that is bound to the object before its first message
    // (WM_NCCREATE) arrives. Throws Windows::Error on failure.
    void CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                  HWND parent, UINT id);
    BOOL DestroyWindow() noexcept;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept {
        return ::SendMessageW(hwnd_, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept {
        return ::PostMessageW(hwnd_, message, wParam, lParam);
    }
    HWND GetParent() const noexcept { return ::GetParent(hwnd_); }
    DWORD GetStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)); }
    DWORD GetExStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)); }
    void ModifyStyle(DWORD remove, DWORD add) noexcept;
    RECT GetClientRect() const noexcept;
    // The window's rectangle in its parent's client coordinates (screen
    // coordinates for a top-level window).
    RECT GetRectInParent() const noexcept;

    // Timers owned by this window: WM_TIMER reaches OnTimer.
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) noexcept;
    BOOL KillTimer(UINT_PTR id) noexcept;

    // A box owned by this window. Without a caption the box is captioned with
    // the executable's base name; the type is passed on unchanged.
    int MessageBox(const std::wstring& text, const wchar_t* caption = nullptr, UINT type = MB_OK) const;

protected:
    // Handles one message. The base reflects child notifications, calls
    // OnCommand, OnNotify and OnTimer, and passes everything else to Default.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // A notification that this window's parent reflected to it. Returns true
    // and sets result when handled; false lets the parent handle it.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // WM_COMMAND not handled by the sending control. True when handled.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY not handled by the sending control. True when handled.
    virtual bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void OnTimer(UINT_PTR id);

    // Called once the object is bound to its window by SubclassWindow.
    virtual void OnSubclassed() {}
    // Called after the last message (WM_NCDESTROY), once the object is
    // unbound. An object that owns itself may delete itself here.
    virtual void PostNcDestroy() {}

    // Passes the message being handled to the replaced procedure.
    LRESULT Default();
    // Passes the given message to the replaced procedure.
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class CDialog;
    friend class WindowCreationBinding;

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);
    void Detach() noexcept;
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    HWND hwnd_ = nullptr;
    WNDPROC previousProc_ = nullptr;
};

// The signed point that mouse messages carry in lParam.
inline POINT PointFromLParam(LPARAM lParam) noexcept {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// A box with no owner, captioned with the executable's base name; a type
// without an icon gets the exclamation or question icon.
int AfxMessageBox(const std::wstring& text, UINT type = MB_OK);

// What happens to an exception that reaches the message dispatch: a
// UserCancelled is dropped; anything else is described in an error box
// captioned with the executable's base name (and in the debugger output), so
// a failing handler is seen, not lost. A throwing WM_PAINT handler has its
// window validated first so that the box does not repeat endlessly; a second
// exception while the box is up goes to the debugger output only.
// Call only inside a catch handler.
void ReportWindowException(HWND hwnd, UINT message) noexcept;
