#pragma once
// What the main dialog's component list shows: one row per component with
// its name and version, a background colour telling whether and how it is
// installed, the sort order (by name, ascending, until the user clicks a
// heading) and the selection, kept as a set of components. One object plays
// every model role of the list at once.

#include "products/ORVProduct.h"
#include "ui/models/DefaultListCtrlColumnSettingsModel.h"
#include "ui/models/DefaultListCtrlModel.h"
#include "ui/models/DefaultListCtrlSelectionModel.h"
#include "ui/models/ListCtrlMap.h"

#include <boost/signals2/trackable.hpp>

#include <array>
#include <vector>

class RemoveListModel : public DefaultListCtrlModel,
                        public ListCtrlMap<ORVProduct*>,
                        public DefaultListCtrlSelectionModel<ORVProduct*>,
                        public DefaultListCtrlColumnSettingsModel,
                        public boost::signals2::trackable {
public:
    // Row colours (COLORREF, 0x00BBGGRR).
    static constexpr COLORREF kNotInstalledColor = 0xFFFFFF;   // white
    static constexpr COLORREF kUnknownVersionColor = 0x66FFFF;  // light yellow
    static constexpr COLORREF kInstalledColor = 0x66FF66;      // light green

    RemoveListModel();

    // Lists these components (not owned) in this order as source rows and
    // announces the change. Reads each one's name, version and installed
    // flag now; later changes show with the next call.
    void SetProducts(const std::vector<ORVProduct*>& products);

    // The model roles, for the list control.
    ListCtrlModel& DataModel() { return *this; }
    ListCtrlSelectionModel& SelectionModel() { return *this; }
    ListCtrlColumnSettingsModel& ColumnSettings() { return *this; }

    DWORD GetRowCount() const override;
    DWORD GetColumnCount() const override { return 2; }
    std::string GetColumnHeading(DWORD column) const override;
    std::string GetText(DWORD row, DWORD column) const override;
    COLORREF GetTextColor(DWORD row, DWORD column) const override;
    COLORREF GetBackgroundColor(DWORD row, DWORD column) const override;
    std::string GetEmptyText() const override;

    ORVProduct* ItemAt(DWORD row) const override;

protected:
    int GetDefaultWidth(DWORD column) const override { return column == 0 ? 300 : 150; }
    NullOr<DWORD> GetDefaultSortColumn() const override { return 0; }

private:
    std::vector<ORVProduct*> products_;
    // Name and version cell of each row.
    std::vector<std::array<std::string, 2>> rows_;
};
