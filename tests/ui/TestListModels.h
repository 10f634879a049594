#pragma once
// Small models for tests of the list controls: a table of texts whose rows
// are named by their first cell, a selection of those names, and column
// settings in memory.

#include "ui/models/DefaultListCtrlColumnSettingsModel.h"
#include "ui/models/DefaultListCtrlModel.h"
#include "ui/models/DefaultListCtrlSelectionModel.h"
#include "ui/models/ListCtrlMap.h"

#include <string>
#include <vector>

class TextTable : public DefaultListCtrlModel, public ListCtrlMap<std::string> {
public:
    using Rows = std::vector<std::vector<std::string>>;

    TextTable(std::vector<std::string> headings, Rows rows)
        : headings_(std::move(headings)), rows_(std::move(rows)) {}

    void SetRows(Rows rows) {
        rows_ = std::move(rows);
        changed();
    }
    void SetEmptyText(std::string text) { emptyText_ = std::move(text); }
    // The source row of the row named name; throws when there is none.
    DWORD RowOf(const std::string& name) const {
        for (DWORD row = 0; row < rows_.size(); ++row)
            if (rows_[row][0] == name) return row;
        throw std::out_of_range(name);
    }

    DWORD GetRowCount() const override { return static_cast<DWORD>(rows_.size()); }
    DWORD GetColumnCount() const override { return static_cast<DWORD>(headings_.size()); }
    std::string GetColumnHeading(DWORD column) const override {
        return column < headings_.size() ? headings_[column] : std::string();
    }
    std::string GetText(DWORD row, DWORD column) const override { return rows_.at(row).at(column); }
    std::string GetEmptyText() const override { return emptyText_; }
    std::string ItemAt(DWORD row) const override { return rows_.at(row).at(0); }

private:
    std::vector<std::string> headings_;
    Rows rows_;
    std::string emptyText_;
};

class NameSelection : public DefaultListCtrlSelectionModel<std::string> {
public:
    explicit NameSelection(TextTable& table) : DefaultListCtrlSelectionModel<std::string>(table, table) {
        selectionChanged.connect([this](const std::set<DWORD>&) { ++changes; });
    }
    // How often the selection announced a change.
    int changes = 0;
};

class SortedColumns : public DefaultListCtrlColumnSettingsModel {
public:
    SortedColumns() { SetSort(0u, true); }
};

// The three models of one list, built in the order they depend on.
struct ListModels {
    ListModels(std::vector<std::string> headings, TextTable::Rows rows)
        : table(std::move(headings), std::move(rows)), selection(table) {}
    TextTable table;
    NameSelection selection;
    SortedColumns columns;
};
