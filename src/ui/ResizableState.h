#pragma once
// Saving a window's placement as a profile string of the application:
// HKEY_CURRENT_USER\<profile key>\<section>, value "<name>WindowPlacement".
// Nothing in this program reads a placement back.

#include <windows.h>

#include <string>

class CResizableState {
public:
    virtual ~CResizableState() = default;

    const std::wstring& ProfileSection() const noexcept { return section_; }

protected:
    // Writes text as the entry under HKEY_CURRENT_USER\profileKey\section.
    // False when the key cannot be made or the value written.
    bool WriteState(const std::wstring& profileKey, const std::wstring& entry, const std::wstring& text) const;

private:
    std::wstring section_ = L"ResizableState";
};

class CResizableWndState : public CResizableState {
public:
    // "left,top,right,bottom,showCmd,flags,minX,minY" of the normal
    // position; with rectOnly the last four are 1 (SW_SHOWNORMAL), 0, 0, 0.
    static std::wstring PlacementText(const WINDOWPLACEMENT& placement, bool rectOnly);

protected:
    bool SaveWindowRect(HWND window, const std::wstring& profileKey, const std::wstring& name, bool rectOnly) const;
};
