#pragma once
// A list model over a table of texts for the model tests. The item of a row
// is the text of its first cell, so the selection can follow rows by name.

#include "ui/models/DefaultListCtrlModel.h"
#include "ui/models/DefaultListCtrlSelectionModel.h"
#include "ui/models/ListCtrlMap.h"

#include <string>
#include <vector>

class TableModel : public DefaultListCtrlModel, public ListCtrlMap<std::string> {
public:
    using Row = std::vector<std::string>;

    explicit TableModel(DWORD columns = 2) : columns_(columns) {}

    // Replaces every row and announces it.
    void SetRows(std::vector<Row> rows) {
        rows_ = std::move(rows);
        changed();
    }

    // Changes one cell without announcing it.
    void SetCell(DWORD row, DWORD column, std::string text) { rows_.at(row).at(column) = std::move(text); }

    DWORD GetRowCount() const override { return static_cast<DWORD>(rows_.size()); }
    DWORD GetColumnCount() const override { return columns_; }
    std::string GetColumnHeading(DWORD column) const override { return "Column " + std::to_string(column); }
    std::string GetText(DWORD row, DWORD column) const override {
        const Row& cells = rows_.at(row);
        return column < cells.size() ? cells[column] : std::string();
    }
    std::string ItemAt(DWORD row) const override { return GetText(row, 0); }

private:
    DWORD columns_;
    std::vector<Row> rows_;
};

using TableSelection = DefaultListCtrlSelectionModel<std::string>;
