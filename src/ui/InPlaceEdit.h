#pragma once
// An edit control laid over one cell of a list view. It takes the focus
// with all its text selected; Enter ends the edit, Escape cancels it. When
// it loses the focus it reports LVN_ENDLABELEDITW, as from the list view, to
// the list's parent (a null text when cancelled) and destroys itself. The
// object owns itself and goes with its window.

#include "ui/win/Wnd.h"

#include <string>

class CInPlaceEdit : public CWnd {
public:
    // Creates the editor as a child of the list with control id 4321.
    // Returns null when the window cannot be made.
    static CInPlaceEdit* Open(CWnd& list, int row, int column, const std::wstring& text, const RECT& rect,
                              DWORD alignment);

    int Row() const noexcept { return row_; }
    int Column() const noexcept { return column_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

private:
    CInPlaceEdit(int row, int column, std::wstring text) : row_(row), column_(column), initialText_(std::move(text)) {}
    void WidenToText();
    void ReportEnd();

    int row_;
    int column_;
    std::wstring initialText_;
    bool cancelled_ = false;
    bool ended_ = false;
};
