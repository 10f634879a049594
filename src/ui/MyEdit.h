#pragma once
// The log pane's edit control: Ctrl+A selects all text, and a third click
// at the spot of a double click, within half the double-click time,
// selects all text too.

#include "ui/win/Wnd.h"

class CMyEdit : public CWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SelectAll();
    // Measures microseconds with the performance counter.
    class Stopwatch {
    public:
        void Restart() noexcept;
        // Stops the watch; returns the microseconds since Restart.
        long long Stop() noexcept;
        bool Running() const noexcept { return running_; }

    private:
        LARGE_INTEGER start_{};
        bool running_ = false;
    };

    Stopwatch sinceDoubleClick_;
    POINT doubleClickPoint_{};
};
