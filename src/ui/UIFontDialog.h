#pragma once
// A dialog shown in the system's message font on Windows 6.0 and later,
// whatever font its template names; older Windows use the template as it is.

#include "ui/win/Dialog.h"

#include <string>

class CUIFontDialog : public CDialog {
public:
    using CDialog::CDialog;

protected:
    std::vector<BYTE> GetTemplate() override;
};

struct MessageFont {
    std::wstring face;
    WORD pointSize = 0;
};

// The system's message font (nonclient metrics) with its height in points
// for the screen; false when the metrics cannot be read.
bool GetMessageFont(MessageFont& font);
