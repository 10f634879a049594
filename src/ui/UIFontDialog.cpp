#include "ui/UIFontDialog.h"

#include "platform/WindowsVersion.h"
#include "ui/win/DialogTemplate.h"

#include <cstdlib>

bool GetMessageFont(MessageFont& font) {
    // The structure as Windows 6.0 and later define it (with the padded
    // border width): 504 bytes.
    NONCLIENTMETRICSW metrics{};
    static_assert(sizeof(metrics) == 504, "nonclient metrics of Windows 6.0");
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return false;
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return false;
    const int pixelsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    font.face = metrics.lfMessageFont.lfFaceName;
    font.pointSize = static_cast<WORD>(::MulDiv(std::abs(metrics.lfMessageFont.lfHeight), 72, pixelsPerInch));
    return true;
}

std::vector<BYTE> CUIFontDialog::GetTemplate() {
    std::vector<BYTE> dialogTemplate = CDialog::GetTemplate();
    MessageFont font;
    if (!IsWindowsVersionAtLeast(6, 0) || !GetMessageFont(font)) return dialogTemplate;
    return WithDialogTemplateFont(dialogTemplate, font.face, font.pointSize);
}
