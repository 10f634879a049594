#include "support/DialogDriver.h"

#include "support/LabPaths.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {

const wchar_t kCaption[] = L"Stennet Orvalis Removal Utility";
constexpr int kListId = 1025;
constexpr int kLogId = 1031;

// Memory inside the dialog's process, for list-view messages that carry
// pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* Address() const { return address_; }
    void* At(size_t offset) const {
        return static_cast<char*>(address_) + offset;
    }
    void Write(size_t offset, const void* data, size_t size) const {
        WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }
    void Read(size_t offset, void* data, size_t size) const {
        ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }

private:
    HANDLE process_;
    void* address_;
};

struct WindowSearch {
    DWORD processId;
    HWND found = nullptr;
    bool wantBox = false;
};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

bool IsBox(HWND window) {
    return ClassOf(window) == L"#32770" && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF) != nullptr &&
           FindWindowExW(window, nullptr, L"SysListView32", nullptr) == nullptr;
}

BOOL CALLBACK FindWindowOf(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    const bool match = search->wantBox ? IsBox(window) : TextOf(window) == kCaption && !IsBox(window);
    if (!match) return TRUE;
    search->found = window;
    return FALSE;
}

HWND Find(DWORD processId, bool box) {
    WindowSearch search{processId, nullptr, box};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <class Test>
bool WaitFor(DWORD timeoutMs, Test test) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (test()) return true;
        if (GetTickCount64() > deadline) return false;
        Sleep(50);
    }
}

}  // namespace

COLORREF Capture::At(int x, int y) const {
    const DWORD rgb = pixels[static_cast<size_t>(y) * width + x];
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool Capture::Save(const std::wstring& path) const {
    const int rowBytes = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(rowBytes * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    std::vector<unsigned char> row(static_cast<size_t>(rowBytes), 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const DWORD rgb = pixels[static_cast<size_t>(y) * width + x];
            row[x * 3] = rgb & 0xFF;
            row[x * 3 + 1] = (rgb >> 8) & 0xFF;
            row[x * 3 + 2] = (rgb >> 16) & 0xFF;
        }
        out.write(reinterpret_cast<const char*>(row.data()), rowBytes);
    }
    return static_cast<bool>(out);
}

RunningDialog::RunningDialog(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + ProductProgram() + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot start ORVRemove.exe: " << GetLastError();
        return;
    }
    process_.Reset(info.hProcess);
    CloseHandle(info.hThread);
    processId_ = info.dwProcessId;
    WaitFor(30000, [this] { return (window_ = Find(processId_, false)) != nullptr || HasEnded(); });
    if (!window_) ADD_FAILURE() << "the dialog did not appear";
}

RunningDialog::~RunningDialog() {
    if (!process_ || HasEnded()) return;
    if (window_) PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(process_.Get(), 10000) == WAIT_TIMEOUT) {
        TerminateProcess(process_.Get(), 0xDEAD);
        WaitForSingleObject(process_.Get(), 5000);
    }
}

bool RunningDialog::HasEnded() const { return WaitForSingleObject(process_.Get(), 0) != WAIT_TIMEOUT; }

DWORD RunningDialog::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.Get(), &code);
    return code;
}

bool RunningDialog::WaitForRows(int count, DWORD timeoutMs) const {
    return WaitFor(timeoutMs, [&] { return SendMessageW(Item(kListId), LVM_GETITEMCOUNT, 0, 0) == count; });
}

bool RunningDialog::WaitForEnabled(int id, bool enabled, DWORD timeoutMs) const {
    return WaitFor(timeoutMs, [&] { return IsEnabled(id) == enabled; });
}

bool RunningDialog::WaitForNoSelection(DWORD timeoutMs) const {
    return WaitFor(timeoutMs, [&] { return SelectedRows().empty(); });
}

std::vector<ListRow> RunningDialog::Rows() const {
    HWND list = Item(kListId);
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    constexpr size_t kChars = 512;
    RemoteBuffer remote(process_.Get(), sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    std::vector<ListRow> rows;
    for (int row = 0; row < count; ++row) {
        std::wstring cells[2];
        for (int column = 0; column < 2; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.cchTextMax = kChars;
            item.pszText = static_cast<wchar_t*>(remote.At(sizeof(LVITEMW)));
            remote.Write(0, &item, sizeof item);
            const LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.Address()));
            std::wstring text(kChars, L'\0');
            remote.Read(sizeof(LVITEMW), text.data(), kChars * sizeof(wchar_t));
            text.resize(static_cast<size_t>(length > 0 ? length : 0));
            cells[column] = text;
        }
        rows.push_back({cells[0], cells[1]});
    }
    return rows;
}

RECT RunningDialog::RowRect(int row) const {
    HWND list = Item(kListId);
    RemoteBuffer remote(process_.Get(), sizeof(RECT));
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    remote.Write(0, &rect, sizeof rect);
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.Address()));
    remote.Read(0, &rect, sizeof rect);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void RunningDialog::SelectRows(const std::set<int>& rows) const {
    HWND list = Item(kListId);
    RemoteBuffer remote(process_.Get(), sizeof(LVITEMW));
    // LVIS_CUT, which an owner-data list does not keep, makes Wine report
    // the change with LVN_ITEMCHANGED as Windows does for a user's click.
    const auto set = [&](int row, UINT state) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_CUT;
        item.state = state;
        remote.Write(0, &item, sizeof item);
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.Address()));
    };
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        const bool wanted = rows.count(row) != 0;
        const bool selected = (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        if (wanted != selected) set(row, wanted ? LVIS_SELECTED | LVIS_CUT : LVIS_CUT);
    }
}

std::set<int> RunningDialog::SelectedRows() const {
    HWND list = Item(kListId);
    std::set<int> rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        if (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) rows.insert(row);
    return rows;
}

void RunningDialog::Press(int id) const { PostMessageW(Item(id), BM_CLICK, 0, 0); }

void RunningDialog::SendKey(WORD virtualKey) const {
    HWND list = Item(kListId);
    PostMessageW(list, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(list, WM_KEYUP, virtualKey, 0xC0000001);
}

HWND RunningDialog::WaitForBox(DWORD timeoutMs) const {
    HWND box = nullptr;
    WaitFor(timeoutMs, [&] { return (box = Find(processId_, true)) != nullptr || HasEnded(); });
    return box;
}

SeenBox RunningDialog::Read(HWND box) {
    wchar_t caption[256] = {};
    GetWindowTextW(box, caption, 256);
    return {caption, TextOf(GetDlgItem(box, 0xFFFF))};
}

void RunningDialog::Answer(HWND box, int id) {
    if (HWND button = GetDlgItem(box, id)) {
        PostMessageW(button, BM_CLICK, 0, 0);
    } else {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
    WaitFor(10000, [box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

SeenBox RunningDialog::AnswerNextBox(int id, DWORD timeoutMs) const {
    HWND box = WaitForBox(timeoutMs);
    if (!box) {
        ADD_FAILURE() << "no message box appeared";
        return {};
    }
    const SeenBox seen = Read(box);
    Answer(box, id);
    return seen;
}

std::wstring RunningDialog::LogText() const { return TextOf(Item(kLogId)); }

RECT RunningDialog::ChildRect(int id) const {
    RECT rect{};
    GetWindowRect(Item(id), &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

Capture RunningDialog::CaptureWindow() const {
    // Let the dialog's thread finish what it is doing and paint: a sent
    // message returns only once that thread takes messages again.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    SendMessageW(window_, WM_NULL, 0, 0);
    Sleep(300);
    SendMessageW(window_, WM_NULL, 0, 0);
    RECT rect{};
    GetWindowRect(window_, &rect);
    Capture capture;
    capture.width = rect.right - rect.left;
    capture.height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    capture.pixels.resize(static_cast<size_t>(capture.width) * capture.height);
    if (bits) std::memcpy(capture.pixels.data(), bits, capture.pixels.size() * sizeof(DWORD));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

bool RunningDialog::Close(DWORD timeoutMs) {
    PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
    return WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

std::wstring ArtefactFolder() {
    // Beside the test program's bin folder: build/testbench/artefacts.
    const std::wstring bin = TestProgramFolder();
    const std::wstring folder = bin.substr(0, bin.find_last_of(L"\\/")) + L"\\artefacts";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}
