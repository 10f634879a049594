#pragma once
// The data behind a list view: rows, columns, cell texts, colours, tooltips
// and the row order by a column. The view holds no data of its own; it asks
// for everything when it draws and listens to the signals to know when to
// ask again. Texts are UTF-8; rows and columns are DWORD indexes.

#include <windows.h>

#include <boost/signals2/signal.hpp>

#include <string>
#include <vector>

class ListCtrlModel {
public:
    virtual ~ListCtrlModel() = default;

    virtual DWORD GetRowCount() const = 0;
    virtual DWORD GetColumnCount() const = 0;
    virtual std::string GetColumnHeading(DWORD column) const = 0;
    virtual std::string GetText(DWORD row, DWORD column) const = 0;
    // 400 is normal weight (FW_NORMAL).
    virtual int GetFontWeight(DWORD row, DWORD column) const = 0;
    virtual COLORREF GetTextColor(DWORD row, DWORD column) const = 0;
    virtual COLORREF GetBackgroundColor(DWORD row, DWORD column) const = 0;
    // Index into the view's image list.
    virtual int GetImage(DWORD row) const = 0;
    // Pixels that precede the text in column 0 (icon, indent), counted when
    // the view decides whether the text is cut off.
    virtual int GetLeadingWidth(DWORD row) const = 0;
    // Whether the cell has a tooltip of its own even when its text fits.
    virtual bool HasToolTip(DWORD row, DWORD column) const = 0;
    virtual std::string GetToolTipText(DWORD row, DWORD column) const = 0;
    virtual std::string GetColumnToolTip(DWORD column) const = 0;
    // Drawn in the list when it has no rows.
    virtual std::string GetEmptyText() const = 0;
    // Whether rowA orders before rowB by that column.
    virtual bool IsLess(DWORD column, DWORD rowA, DWORD rowB) const = 0;
    // Whether the cell's text contains text.
    virtual bool ContainsText(DWORD row, DWORD column, const std::string& text) const = 0;

    // Rows or columns may all have changed.
    boost::signals2::signal<void()> changed;
    // The cells of these columns changed; rows and columns stay.
    boost::signals2::signal<void(const std::vector<DWORD>&)> columnsChanged;

protected:
    ListCtrlModel() = default;
    ListCtrlModel(const ListCtrlModel&) = delete;
    ListCtrlModel& operator=(const ListCtrlModel&) = delete;
};
