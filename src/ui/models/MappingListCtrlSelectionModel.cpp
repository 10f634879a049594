#include "ui/models/MappingListCtrlSelectionModel.h"

MappingListCtrlSelectionModel::MappingListCtrlSelectionModel(ListCtrlSelectionModel& source,
                                                             const SortingListCtrlMap& rows)
    : source_(source), rows_(rows) {
    onSelectionChanged_ = source.selectionChanged.connect([this](const std::set<DWORD>& sourceRows) {
        std::set<DWORD> viewRows;
        for (DWORD row : sourceRows) viewRows.insert(rows_.ToView(row));
        selectionChanged(viewRows);
    });
    onFocusChanged_ = source.focusChanged.connect([this](NullOr<DWORD> row) { focusChanged(ToView(row)); });
}

NullOr<DWORD> MappingListCtrlSelectionModel::ToView(NullOr<DWORD> sourceRow) const {
    if (!sourceRow) return {};
    return rows_.ToView(sourceRow.Value());
}

bool MappingListCtrlSelectionModel::IsSelected(DWORD row) const { return source_.IsSelected(rows_.ToSource(row)); }

void MappingListCtrlSelectionModel::SetSelected(const std::set<DWORD>& rows, bool selected) {
    std::set<DWORD> sourceRows;
    for (DWORD row : rows) sourceRows.insert(rows_.ToSource(row));
    source_.SetSelected(sourceRows, selected);
}

void MappingListCtrlSelectionModel::SetSelected(DWORD row, bool selected) {
    source_.SetSelected(rows_.ToSource(row), selected);
}

void MappingListCtrlSelectionModel::SelectAll(bool selected) { source_.SelectAll(selected); }

bool MappingListCtrlSelectionModel::IsFocused(DWORD row) const { return source_.IsFocused(rows_.ToSource(row)); }

void MappingListCtrlSelectionModel::SetFocus(NullOr<DWORD> row) {
    if (!row) {
        source_.SetFocus({});
        return;
    }
    source_.SetFocus(rows_.ToSource(row.Value()));
}

NullOr<DWORD> MappingListCtrlSelectionModel::GetFocus() const { return ToView(source_.GetFocus()); }

DWORD MappingListCtrlSelectionModel::GetSelectedCount() const { return source_.GetSelectedCount(); }
