#include "ui/win/DialogTemplate.h"

#include "ui/DialogTemplateBuilder.h"
#include "ui/ScriptedDialog.h"
#include "ui/TestWindows.h"
#include "ui/win/Dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace {

std::vector<BYTE> TwoControls(bool extended, bool withFont) {
    DialogTemplateBuilder builder(WS_POPUP | WS_CAPTION | WS_VISIBLE | (withFont ? DS_FIXEDSYS : 0), 150, 80,
                                  L"Title with an odd length", extended);
    if (withFont) builder.Font(8, L"MS Shell Dlg");
    return builder.Control(0x0080, L"Press", 201, 0, 5, 5, 50, 14)
        .Control(0x0082, L"Some label", 202, SS_LEFT, 5, 25, 80, 8)
        .Build();
}

TEST(DialogTemplateTest, ReadsTheFontOfBothFormats) {
    const DialogTemplateFont extended = ReadDialogTemplateFont(TwoControls(true, true));
    EXPECT_TRUE(extended.present);
    EXPECT_EQ(extended.pointSize, 8);
    EXPECT_EQ(extended.weight, FW_NORMAL);
    EXPECT_EQ(extended.charset, DEFAULT_CHARSET);
    EXPECT_EQ(extended.face, L"MS Shell Dlg");

    const DialogTemplateFont plain = ReadDialogTemplateFont(TwoControls(false, true));
    EXPECT_TRUE(plain.present);
    EXPECT_EQ(plain.face, L"MS Shell Dlg");
    EXPECT_FALSE(ReadDialogTemplateFont(TwoControls(true, false)).present);
}

TEST(DialogTemplateTest, RewrittenFontLeavesTheControlsIntact) {
    for (const bool extended : {true, false}) {
        for (const bool withFont : {true, false}) {
            SCOPED_TRACE(std::string(extended ? "extended" : "plain") + (withFont ? " with font" : " without font"));
            // Faces of odd and even length shift the controls by 2 bytes or not.
            for (const wchar_t* face : {L"Tahoma", L"Arial"}) {
                const std::vector<BYTE> rewritten = WithDialogTemplateFont(TwoControls(extended, withFont), face, 11);
                const DialogTemplateFont font = ReadDialogTemplateFont(rewritten);
                EXPECT_TRUE(font.present);
                EXPECT_EQ(font.face, face);
                EXPECT_EQ(font.pointSize, 11);
                // The face is taken as given, not as the fixed system font.
                DWORD style = 0;
                std::memcpy(&style, rewritten.data() + (extended ? 12 : 0), sizeof(style));
                EXPECT_EQ(style & DS_FIXEDSYS, 0u);

                std::wstring pressText, labelText, title;
                ScriptedDialog<CDialog> dialog(rewritten, nullptr, [&](ScriptedDialog<CDialog>& self) {
                    pressText = WindowText(::GetDlgItem(self, 201));
                    labelText = WindowText(::GetDlgItem(self, 202));
                    title = WindowText(self);
                });
                EXPECT_EQ(dialog.DoModal(), IDOK);
                EXPECT_EQ(pressText, L"Press");
                EXPECT_EQ(labelText, L"Some label");
                EXPECT_EQ(title, L"Title with an odd length");
            }
        }
    }
}

TEST(DialogTemplateTest, TruncatedTemplateIsRefused) {
    std::vector<BYTE> whole = TwoControls(true, true);
    // Cut inside the face name.
    std::vector<BYTE> cut(whole.begin(), whole.begin() + 26 + 2 + 2 + 10 + 6);
    EXPECT_THROW(ReadDialogTemplateFont(cut), std::invalid_argument);
    EXPECT_THROW(WithDialogTemplateFont(cut, L"Tahoma", 8), std::invalid_argument);
    EXPECT_THROW(ReadDialogTemplateFont(std::vector<BYTE>(4, 0)), std::invalid_argument);
}

}  // namespace
