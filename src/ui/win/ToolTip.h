#pragma once
// A tooltip window for a control whose tools are parts of its client area
// (cells, headings): at each mouse message the control says which tool lies
// under the pointer, and the tooltip asks the control for the tool's text
// with TTN_GETDISPINFO when it is about to show it.

#include <windows.h>

class ToolTipWindow {
public:
    ToolTipWindow() = default;
    ~ToolTipWindow();
    ToolTipWindow(const ToolTipWindow&) = delete;
    ToolTipWindow& operator=(const ToolTipWindow&) = delete;

    // Creates the tooltip for the control; texts are requested from it.
    void Create(HWND control);
    // Destroys the tooltip; the control calls it when its window goes.
    void Destroy() noexcept;
    HWND Hwnd() const noexcept { return tip_; }
    void SetMaxWidth(int pixels) noexcept;

    // The tool under the pointer: its id and rectangle in the control's
    // client coordinates; id 0 means none.
    void SetTool(UINT_PTR id, const RECT& rect);
    UINT_PTR ToolId() const noexcept { return toolId_; }

    // Hands a mouse message of the control to the tooltip.
    void Relay(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    static bool IsMouseMessage(UINT message) noexcept {
        return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSELEAVE;
    }

private:
    HWND control_ = nullptr;
    HWND tip_ = nullptr;
    UINT_PTR toolId_ = 0;
};
