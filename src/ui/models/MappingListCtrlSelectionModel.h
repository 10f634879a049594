#pragma once
// A source selection as a view sees it: view rows are translated to source
// rows through the row map, and the source's signals come back in view
// rows.

#include "ui/models/ListCtrlSelectionModel.h"
#include "ui/models/SortingListCtrlMap.h"

#include <boost/signals2/connection.hpp>
#include <boost/signals2/trackable.hpp>

class MappingListCtrlSelectionModel : public ListCtrlSelectionModel, public boost::signals2::trackable {
public:
    // Both must outlive this object.
    MappingListCtrlSelectionModel(ListCtrlSelectionModel& source, const SortingListCtrlMap& rows);

    bool IsSelected(DWORD row) const override;
    void SetSelected(const std::set<DWORD>& rows, bool selected) override;
    void SetSelected(DWORD row, bool selected) override;
    void SelectAll(bool selected) override;
    bool IsFocused(DWORD row) const override;
    void SetFocus(NullOr<DWORD> row) override;
    NullOr<DWORD> GetFocus() const override;
    DWORD GetSelectedCount() const override;

private:
    NullOr<DWORD> ToView(NullOr<DWORD> sourceRow) const;

    ListCtrlSelectionModel& source_;
    const SortingListCtrlMap& rows_;
    boost::signals2::scoped_connection onSelectionChanged_;
    boost::signals2::scoped_connection onFocusChanged_;
};
