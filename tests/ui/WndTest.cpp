#include "ui/win/Dialog.h"
#include "ui/win/Wnd.h"

#include "platform/Errors.h"
#include "platform/MessageBox.h"
#include "support/MessageBoxRecorder.h"
#include "ui/DialogTemplateBuilder.h"
#include "ui/ScriptedDialog.h"
#include "ui/TestWindows.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr UINT kThrow = WM_APP + 1;
constexpr UINT kCancel = WM_APP + 2;
constexpr UINT kDestroyFromInside = WM_APP + 3;

// Counts the messages it sees and passes them all on.
class CountingWnd : public CWnd {
public:
    int setTextCount = 0;
    std::vector<UINT> seen;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        seen.push_back(message);
        if (message == WM_SETTEXT) ++setTextCount;
        if (message == kThrow) throw ExceptionPL("the handler failed");
        if (message == kCancel) throw UserCancelled();
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

bool Saw(const std::vector<UINT>& seen, UINT message) {
    return std::find(seen.begin(), seen.end(), message) != seen.end();
}

TEST(WndTest, SubclassedControlSeesItsMessagesAndKeepsItsOwnBehaviour) {
    TestWindow edit(L"EDIT", WS_POPUP);
    const auto original = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);
    CountingWnd window;
    window.SubclassWindow(edit);
    EXPECT_EQ(CWnd::FromHandle(edit), &window);

    ::SetWindowTextW(edit, L"first");
    EXPECT_EQ(window.setTextCount, 1);
    EXPECT_EQ(WindowText(edit), L"first");

    EXPECT_EQ(window.UnsubclassWindow(), edit.Get());
    EXPECT_EQ(CWnd::FromHandle(edit), nullptr);
    EXPECT_EQ(::GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
    ::SetWindowTextW(edit, L"second");
    EXPECT_EQ(window.setTextCount, 1);
    EXPECT_EQ(WindowText(edit), L"second");
}

TEST(WndTest, WindowOutlivingItsObjectKeepsWorking) {
    TestWindow edit(L"EDIT", WS_POPUP);
    {
        CountingWnd window;
        window.SubclassWindow(edit);
    }
    EXPECT_EQ(CWnd::FromHandle(edit), nullptr);
    ::SetWindowTextW(edit, L"still an edit");
    EXPECT_EQ(WindowText(edit), L"still an edit");
}

TEST(WndTest, BindingTwiceIsRefused) {
    TestWindow edit(L"EDIT", WS_POPUP);
    TestWindow other(L"EDIT", WS_POPUP);
    CountingWnd first;
    CountingWnd second;
    first.SubclassWindow(edit);
    EXPECT_THROW(second.SubclassWindow(edit), std::logic_error);
    EXPECT_THROW(first.SubclassWindow(other), std::logic_error);
    EXPECT_THROW(second.SubclassWindow(nullptr), Windows::Error);
    EXPECT_EQ(CWnd::FromHandle(edit), &first);
}

TEST(WndTest, CreatedWindowIsBoundBeforeItsFirstMessage) {
    CountingWnd window;
    window.CreateEx(0, L"STATIC", L"made", WS_POPUP, RECT{0, 0, 50, 20}, nullptr, 0);
    ASSERT_NE(window.GetSafeHwnd(), nullptr);
    EXPECT_TRUE(Saw(window.seen, WM_NCCREATE));
    EXPECT_TRUE(Saw(window.seen, WM_CREATE));
    EXPECT_EQ(WindowText(window), L"made");
    window.DestroyWindow();
    EXPECT_EQ(window.GetSafeHwnd(), nullptr);
    EXPECT_EQ(window.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

// A control that handles one notification code itself.
class NotifiedControl : public CWnd {
public:
    static constexpr UINT kOwnCode = 1234;
    int reflected = 0;

protected:
    bool OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
        if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != kOwnCode) return false;
        ++reflected;
        result = 42;
        return true;
    }
};

class NotifiedParent : public CWnd {
public:
    std::vector<UINT> codes;

protected:
    bool OnNotify(WPARAM, LPARAM lParam, LRESULT& result) override {
        codes.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
        result = 7;
        return true;
    }
};

TEST(WndTest, ParentReflectsNotificationsToTheSendingControlFirst) {
    TestWindow parentWindow(L"STATIC", WS_POPUP);
    TestWindow childWindow(L"EDIT", WS_CHILD, parentWindow, 5);
    NotifiedParent parent;
    NotifiedControl child;
    parent.SubclassWindow(parentWindow);
    child.SubclassWindow(childWindow);

    NMHDR own{childWindow, 5, NotifiedControl::kOwnCode};
    EXPECT_EQ(::SendMessageW(parentWindow, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&own)), 42);
    NMHDR other{childWindow, 5, 99};
    EXPECT_EQ(::SendMessageW(parentWindow, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&other)), 7);

    EXPECT_EQ(child.reflected, 1);
    EXPECT_EQ(parent.codes, std::vector<UINT>{99});
}

TEST(WndTest, ExceptionInAHandlerIsShownInAnErrorBoxAndGoesNoFurther) {
    TestWindow edit(L"EDIT", WS_POPUP);
    CountingWnd window;
    window.SubclassWindow(edit);
    MessageBoxRecorder recorder;

    EXPECT_EQ(::SendMessageW(edit, kThrow, 0, 0), 0);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_NE(recorder.boxes[0].text.find(L"the handler failed"), std::wstring::npos);
    EXPECT_EQ(recorder.boxes[0].type & MB_ICONMASK, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(recorder.boxes[0].caption, WindowsPlatform::ExecutableBaseName());

    // The user stopping an operation is no failure.
    EXPECT_EQ(::SendMessageW(edit, kCancel, 0, 0), 0);
    EXPECT_EQ(recorder.boxes.size(), 1u);

    // The window goes on working.
    ::SetWindowTextW(edit, L"after");
    EXPECT_EQ(WindowText(edit), L"after");
}

// Owns itself: destroys its window from inside a handler and deletes
// itself after the last message.
class SelfDeletingWnd : public CWnd {
public:
    explicit SelfDeletingWnd(bool& deleted) : deleted_(deleted) {}
    ~SelfDeletingWnd() override { deleted_ = true; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kDestroyFromInside) {
            DestroyWindow();
            return 5;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { delete this; }

private:
    bool& deleted_;
};

TEST(WndTest, WindowObjectMayDeleteItselfWhileItsHandlerRuns) {
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    bool deleted = false;
    (new SelfDeletingWnd(deleted))->SubclassWindow(edit);
    EXPECT_EQ(::SendMessageW(edit, kDestroyFromInside, 0, 0), 5);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(::IsWindow(edit));
}

TEST(WndTest, BoxesOfAWindowAreCaptionedWithTheProgramNameUnlessGivenACaption) {
    TestWindow edit(L"EDIT", WS_POPUP);
    CountingWnd window;
    window.SubclassWindow(edit);
    MessageBoxRecorder recorder(IDCANCEL);

    EXPECT_EQ(window.MessageBox(L"plain"), IDCANCEL);
    EXPECT_EQ(window.MessageBox(L"asked", L"Confirm Removal", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(AfxMessageBox(L"app box", MB_OKCANCEL), IDCANCEL);

    ASSERT_EQ(recorder.boxes.size(), 3u);
    EXPECT_EQ(recorder.boxes[0].caption, WindowsPlatform::ExecutableBaseName());
    EXPECT_EQ(recorder.boxes[0].type, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(recorder.boxes[1].caption, L"Confirm Removal");
    EXPECT_EQ(recorder.boxes[1].type, static_cast<unsigned>(MB_OKCANCEL | MB_DEFBUTTON2));
    EXPECT_EQ(recorder.boxes[2].caption, WindowsPlatform::ExecutableBaseName());
    EXPECT_EQ(recorder.boxes[2].type, static_cast<unsigned>(MB_OKCANCEL | MB_ICONEXCLAMATION));
}

std::vector<BYTE> SmallDialog() {
    return DialogTemplateBuilder(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 120, 60, L"Small")
        .Font(8, L"MS Shell Dlg")
        .Control(0x0081, L"", 300, ES_AUTOHSCROLL | WS_BORDER, 5, 5, 100, 12)
        .Build();
}

TEST(DialogTest, DialogIsBoundBeforeItsFirstMessageAndBindsItsControls) {
    CountingWnd edit;
    bool stillBound = false;
    ScriptedDialog<CDialog> dialog(
        SmallDialog(),
        [&](ScriptedDialog<CDialog>& self) {
            self.DDX_Control(300, edit);
            self.DDX_Control(300, edit);  // a second exchange leaves it bound
        },
        [&](ScriptedDialog<CDialog>& self) {
            ::SetDlgItemTextW(self, 300, L"typed");
            stillBound = CWnd::FromHandle(::GetDlgItem(self, 300)) == &edit;
        });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(Saw(dialog.seen, WM_NCCREATE));
    EXPECT_TRUE(Saw(dialog.seen, WM_INITDIALOG));
    EXPECT_TRUE(stillBound);
    EXPECT_EQ(edit.setTextCount, 1);
    EXPECT_EQ(edit.GetSafeHwnd(), nullptr);  // unbound when the dialog went
}

// Ends itself the way Esc or Enter would.
class SelfEndingDialog : public CDialog {
public:
    SelfEndingDialog(WORD command, bool okIgnored) : CDialog(SmallDialog()), command_(command), okIgnored_(okIgnored) {}
    int okCount = 0;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        PostMessage(WM_COMMAND, MAKEWPARAM(command_, BN_CLICKED), 0);
        if (okIgnored_) PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    }
    void OnOK() override {
        ++okCount;
        if (!okIgnored_) CDialog::OnOK();
    }

private:
    WORD command_;
    bool okIgnored_;
};

TEST(DialogTest, OkAndCancelCommandsEndTheDialogWithTheirIds) {
    SelfEndingDialog cancelled(IDCANCEL, false);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    SelfEndingDialog confirmed(IDOK, false);
    EXPECT_EQ(confirmed.DoModal(), IDOK);
    EXPECT_EQ(confirmed.okCount, 1);
    // An OnOK that does nothing keeps the dialog open until Cancel.
    SelfEndingDialog kept(IDOK, true);
    EXPECT_EQ(kept.DoModal(), IDCANCEL);
    EXPECT_EQ(kept.okCount, 1);
}

TEST(DialogTest, MissingTemplateResourceIsAnError) {
    CDialog dialog(4321u);
    EXPECT_THROW(dialog.DoModal(), Windows::Error);
}

}  // namespace
