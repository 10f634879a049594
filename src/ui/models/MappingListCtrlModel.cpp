#include "ui/models/MappingListCtrlModel.h"

MappingListCtrlModel::MappingListCtrlModel(ListCtrlModel& source, const SortingListCtrlMap& rows,
                                           const SortingListCtrlColumnMap& columns)
    : source_(source), rows_(rows), columns_(columns) {
    onChanged_ = source.changed.connect([this] { changed(); });
    onColumnsChanged_ = source.columnsChanged.connect(
        [this](const std::vector<DWORD>& sourceColumns) { OnColumnsChanged(sourceColumns); });
}

// Passes the change on in view columns; columns that are not shown are
// left out.
void MappingListCtrlModel::OnColumnsChanged(const std::vector<DWORD>& sourceColumns) {
    std::vector<DWORD> viewColumns;
    for (DWORD column : sourceColumns)
        if (columns_.Shows(column)) viewColumns.push_back(columns_.ToView(column));
    columnsChanged(viewColumns);
}

DWORD MappingListCtrlModel::GetRowCount() const { return source_.GetRowCount(); }

DWORD MappingListCtrlModel::GetColumnCount() const { return columns_.Count(); }

std::string MappingListCtrlModel::GetColumnHeading(DWORD column) const {
    return source_.GetColumnHeading(Column(column));
}

std::string MappingListCtrlModel::GetText(DWORD row, DWORD column) const {
    return source_.GetText(Row(row), Column(column));
}

int MappingListCtrlModel::GetFontWeight(DWORD row, DWORD column) const {
    return source_.GetFontWeight(Row(row), Column(column));
}

COLORREF MappingListCtrlModel::GetTextColor(DWORD row, DWORD column) const {
    return source_.GetTextColor(Row(row), Column(column));
}

COLORREF MappingListCtrlModel::GetBackgroundColor(DWORD row, DWORD column) const {
    return source_.GetBackgroundColor(Row(row), Column(column));
}

int MappingListCtrlModel::GetImage(DWORD row) const { return source_.GetImage(Row(row)); }

int MappingListCtrlModel::GetLeadingWidth(DWORD row) const { return source_.GetLeadingWidth(Row(row)); }

bool MappingListCtrlModel::HasToolTip(DWORD row, DWORD column) const {
    return source_.HasToolTip(Row(row), Column(column));
}

std::string MappingListCtrlModel::GetToolTipText(DWORD row, DWORD column) const {
    return source_.GetToolTipText(Row(row), Column(column));
}

std::string MappingListCtrlModel::GetColumnToolTip(DWORD column) const {
    return source_.GetColumnToolTip(Column(column));
}

std::string MappingListCtrlModel::GetEmptyText() const { return source_.GetEmptyText(); }

bool MappingListCtrlModel::IsLess(DWORD column, DWORD rowA, DWORD rowB) const {
    return source_.IsLess(Column(column), Row(rowA), Row(rowB));
}

bool MappingListCtrlModel::ContainsText(DWORD row, DWORD column, const std::string& text) const {
    return source_.ContainsText(Row(row), Column(column), text);
}
