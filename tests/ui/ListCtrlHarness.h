#pragma once
// A dialog with one list view (control 1025) for tests of the list
// controls, and helpers that read the list as Windows shows it.

#include "ui/DialogTemplateBuilder.h"
#include "ui/ScriptedDialog.h"
#include "ui/win/Dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

constexpr WORD kListId = 1025;
constexpr WORD kOtherButtonId = 1026;

inline std::vector<BYTE> ListDialog(DWORD listStyle) {
    return DialogTemplateBuilder(DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 240, 160, L"List")
        .Font(8, L"MS Shell Dlg")
        .Control(L"SysListView32", L"", kListId, listStyle | LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 5,
                 5, 230, 130)
        .Control(0x0080, L"Other", kOtherButtonId, WS_TABSTOP, 185, 140, 50, 14)
        .Build();
}

inline std::wstring ListItemText(HWND list, int item, int column) {
    wchar_t text[512] = {};
    LVITEMW request{};
    request.iSubItem = column;
    request.pszText = text;
    request.cchTextMax = 512;
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
    return text;
}

inline std::vector<std::wstring> ListColumnTexts(HWND list, int column) {
    std::vector<std::wstring> texts;
    const auto count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) texts.push_back(ListItemText(list, item, column));
    return texts;
}

inline bool ListItemHasState(HWND list, int item, UINT state) {
    return (::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), state) & state) != 0;
}

// Changes an item's state as a user would. LVIS_CUT travels along: Wine
// reports single-row changes of callback states only with another state.
inline void UserSetsItemState(HWND list, int item, UINT state, UINT mask) {
    LVITEMW change{};
    change.state = state | LVIS_CUT;
    change.stateMask = mask | LVIS_CUT;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&change));
}

inline std::wstring HeaderText(HWND header, int item) {
    wchar_t text[256] = {};
    HDITEMW request{};
    request.mask = HDI_TEXT;
    request.pszText = text;
    request.cchTextMax = 256;
    ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
    return text;
}

inline int HeaderFormat(HWND header, int item) {
    HDITEMW request{};
    request.mask = HDI_FORMAT;
    ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
    return request.fmt;
}

inline std::wstring ClipboardText() {
    std::wstring text;
    if (!::OpenClipboard(nullptr)) return L"<clipboard not open>";
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data)); chars != nullptr) {
            text = chars;
            ::GlobalUnlock(data);
        }
    } else {
        text = L"<no text>";
    }
    ::CloseClipboard();
    return text;
}
