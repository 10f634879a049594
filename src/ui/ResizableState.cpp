#include "ui/ResizableState.h"

#include <cwchar>

bool CResizableState::WriteState(const std::wstring& profileKey, const std::wstring& entry,
                                 const std::wstring& text) const {
    const std::wstring key = profileKey + L"\\" + section_;
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), entry.c_str(), REG_SZ, text.c_str(), bytes) ==
           ERROR_SUCCESS;
}

std::wstring CResizableWndState::PlacementText(const WINDOWPLACEMENT& placement, bool rectOnly) {
    const RECT& normal = placement.rcNormalPosition;
    const int showCommand = rectOnly ? SW_SHOWNORMAL : static_cast<int>(placement.showCmd);
    const int flags = rectOnly ? 0 : static_cast<int>(placement.flags);
    const POINT minimised = rectOnly ? POINT{0, 0} : placement.ptMinPosition;
    wchar_t text[128];
    std::swprintf(text, 128, L"%d,%d,%d,%d,%d,%d,%d,%d", static_cast<int>(normal.left), static_cast<int>(normal.top),
                  static_cast<int>(normal.right), static_cast<int>(normal.bottom), showCommand, flags,
                  static_cast<int>(minimised.x), static_cast<int>(minimised.y));
    return text;
}

bool CResizableWndState::SaveWindowRect(HWND window, const std::wstring& profileKey, const std::wstring& name,
                                        bool rectOnly) const {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!::GetWindowPlacement(window, &placement)) return false;
    return WriteState(profileKey, name + L"WindowPlacement", PlacementText(placement, rectOnly));
}
