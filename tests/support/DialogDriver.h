#pragma once
// Drives the real ORVRemove.exe dialog from outside, the way a person would:
// waits for its window, reads the component list and the log pane, selects
// rows, presses buttons, answers message boxes, resizes the window and
// captures what is on the screen.

#include "platform/UniqueHandle.h"
#include "support/BoxDriver.h"

#include <windows.h>

#include <set>
#include <string>
#include <vector>

struct ListRow {
    std::wstring name;
    std::wstring version;
};

// A captured screen area, 32 bits per pixel, top row first.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;  // 0x00RRGGBB

    // The colour as a COLORREF (0x00BBGGRR) at (x, y) of the capture.
    COLORREF At(int x, int y) const;
    // Writes the capture as a 24-bit .bmp file.
    bool Save(const std::wstring& path) const;
};

class RunningDialog {
public:
    // Starts the program with the given arguments (no "/silent") and waits
    // for its main window. Fails the calling test when it does not appear.
    explicit RunningDialog(const std::wstring& arguments = L"");
    ~RunningDialog();  // closes the dialog (or ends the process) if still running

    HWND Window() const { return window_; }
    HWND Item(int id) const { return GetDlgItem(window_, id); }
    bool Started() const { return window_ != nullptr; }

    // Waits until the list shows count rows; false on time-out.
    bool WaitForRows(int count, DWORD timeoutMs = 60000) const;
    // The list is filled at the end of a detection pass, in the handler that
    // also ends the busy state; the count is read through the dialog's own
    // thread, so once it shows, the dialog is idle. (Whether Close is grayed
    // cannot be read from here: Wine gives no other process the system menu.)

    std::vector<ListRow> Rows() const;
    // The rectangle of a row in screen coordinates.
    RECT RowRect(int row) const;
    // Selects exactly these rows (view rows) the way the list view reports a
    // user's selection.
    void SelectRows(const std::set<int>& rows) const;
    std::set<int> SelectedRows() const;

    bool IsEnabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    // The dialog's thread goes on after a box is answered or a row selected:
    // these wait, with a deadline, until it shows the state; false on time-out.
    bool WaitForEnabled(int id, bool enabled, DWORD timeoutMs = 30000) const;
    bool WaitForNoSelection(DWORD timeoutMs = 30000) const;
    // Presses a button without waiting for what it starts.
    void Press(int id) const;
    // Sends a key to the dialog's focused control chain (Esc, Enter).
    void SendKey(WORD virtualKey) const;

    // Waits for a message box of the process; null on time-out.
    HWND WaitForBox(DWORD timeoutMs = 30000) const;
    static SeenBox Read(HWND box);
    static void Answer(HWND box, int id);
    // Waits for the next box, records it, presses id and returns what it said.
    SeenBox AnswerNextBox(int id, DWORD timeoutMs = 30000) const;

    std::wstring LogText() const;
    RECT ChildRect(int id) const;  // in the dialog's client coordinates
    Capture CaptureWindow() const;

    // Ends the dialog with Esc; true when the process ended with it.
    bool Close(DWORD timeoutMs = 30000);
    bool HasEnded() const;
    DWORD ExitCode() const;

private:
    WindowsPlatform::UniqueKernelHandle process_;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
};

// Where the real-window tests leave their screenshots (test artefacts).
std::wstring ArtefactFolder();
