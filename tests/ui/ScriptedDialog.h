#pragma once
// A modal dialog that runs a test's steps inside its own modal loop: setUp
// runs at the end of OnInitDialog, run once the dialog is up and its
// posted messages have been handled; then the dialog ends itself.

#include <windows.h>

#include <functional>
#include <vector>

template <class Base>
class ScriptedDialog : public Base {
public:
    using Step = std::function<void(ScriptedDialog&)>;

    ScriptedDialog(std::vector<BYTE> dialogTemplate, Step setUp, Step run)
        : Base(std::move(dialogTemplate)), setUp_(std::move(setUp)), run_(std::move(run)) {}

    // What the dialog's own procedure saw, for tests of the window layer.
    std::vector<UINT> seen;

    using Base::Default;

protected:
    static constexpr UINT kRun = WM_APP + 0x3F0;

    BOOL OnInitDialog() override {
        const BOOL result = Base::OnInitDialog();
        if (setUp_) setUp_(*this);
        this->PostMessage(kRun);
        return result;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        seen.push_back(message);
        if (message == kRun) {
            if (run_) run_(*this);
            this->EndDialog(IDOK);
            return 0;
        }
        return Base::WindowProc(message, wParam, lParam);
    }

private:
    Step setUp_;
    Step run_;
};

// Handles the messages waiting for this thread.
inline void PumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}
