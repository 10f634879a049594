#include "ui/models/DefaultListCtrlColumnSettingsModel.h"
#include "ui/models/MappingListCtrlColumnSettingsModel.h"
#include "ui/models/MappingListCtrlModel.h"
#include "ui/models/MappingListCtrlSelectionModel.h"
#include "ui/models/SortingListCtrlMap.h"
#include "ui/models/TableModel.h"

#include <gtest/gtest.h>

namespace {

using Rows = std::set<DWORD>;

// The chain a list control builds over its three source models.
class MappingTest : public ::testing::Test {
protected:
    MappingTest() {
        source.SetRows({{"gamma", "3", "z"}, {"alpha", "1", "y"}, {"beta", "2", "x"}});
        settings.SetSort(0, true);  // view rows: alpha, beta, gamma
    }

    TableModel source{3};
    TableSelection sourceSelection{source, source};
    DefaultListCtrlColumnSettingsModel settings;
    SortingListCtrlMap rows{source, settings};
    SortingListCtrlColumnMap columns{source, settings};
    MappingListCtrlModel view{source, rows, columns};
    MappingListCtrlSelectionModel viewSelection{sourceSelection, rows};
    MappingListCtrlColumnSettingsModel viewSettings{settings, columns};
};

TEST_F(MappingTest, ViewCellsComeFromMappedRowsAndColumns) {
    settings.SetOrder({2, 0, 1});
    settings.SetVisible(1, false);
    EXPECT_EQ(view.GetRowCount(), 3u);
    EXPECT_EQ(view.GetColumnCount(), 2u);
    EXPECT_EQ(view.GetColumnHeading(0), "Column 2");
    EXPECT_EQ(view.GetText(0, 0), "y");
    EXPECT_EQ(view.GetText(0, 1), "alpha");
    EXPECT_EQ(view.GetText(2, 1), "gamma");
    EXPECT_TRUE(view.IsLess(1, 0, 2));
    EXPECT_TRUE(view.ContainsText(1, 1, "ET"));
}

TEST_F(MappingTest, ViewIsAnnouncedAfterTheMapsAreRebuilt) {
    std::vector<std::string> seen;
    const boost::signals2::scoped_connection listener = view.changed.connect([&] {
        for (DWORD row = 0; row < view.GetRowCount(); ++row) seen.push_back(view.GetText(row, 0));
    });
    source.SetRows({{"delta"}, {"beta"}, {"epsilon"}, {"alpha"}});
    EXPECT_EQ(seen, (std::vector<std::string>{"alpha", "beta", "delta", "epsilon"}));
}

TEST_F(MappingTest, ColumnChangesArePassedOnInViewColumns) {
    settings.SetOrder({2, 1, 0});
    settings.SetVisible(1, false);
    std::vector<DWORD> seen;
    const boost::signals2::scoped_connection listener =
        view.columnsChanged.connect([&](const std::vector<DWORD>& changedColumns) { seen = changedColumns; });
    source.columnsChanged(std::vector<DWORD>{0, 1});
    EXPECT_EQ(seen, (std::vector<DWORD>{1}));
}

TEST_F(MappingTest, SelectionGoesToSourceRowsAndComesBackInViewRows) {
    std::vector<Rows> seen;
    const boost::signals2::scoped_connection listener =
        viewSelection.selectionChanged.connect([&](const Rows& changed) { seen.push_back(changed); });

    viewSelection.SetSelected(DWORD{0}, true);  // alpha, source row 1
    EXPECT_TRUE(sourceSelection.IsSelected(1));
    EXPECT_TRUE(viewSelection.IsSelected(0));
    viewSelection.SetSelected(Rows{1, 2}, true);  // beta, gamma: source rows 2, 0
    EXPECT_EQ(sourceSelection.GetSelectedCount(), 3u);
    EXPECT_EQ(seen, (std::vector<Rows>{{0}, {1, 2}}));

    viewSelection.SelectAll(false);
    EXPECT_EQ(viewSelection.GetSelectedCount(), 0u);
}

TEST_F(MappingTest, FocusIsMappedBothWays) {
    std::vector<NullOr<DWORD>> seen;
    const boost::signals2::scoped_connection listener =
        viewSelection.focusChanged.connect([&](NullOr<DWORD> row) { seen.push_back(row); });
    EXPECT_TRUE(viewSelection.GetFocus().IsNull());

    viewSelection.SetFocus(2);  // gamma, source row 0
    EXPECT_EQ(sourceSelection.GetFocus(), NullOr<DWORD>(0));
    EXPECT_EQ(viewSelection.GetFocus(), NullOr<DWORD>(2));
    EXPECT_TRUE(viewSelection.IsFocused(2));

    // Re-sorting moves the focused item; the view follows it.
    settings.SortBy(0);  // descending: gamma, beta, alpha
    EXPECT_EQ(viewSelection.GetFocus(), NullOr<DWORD>(0));

    viewSelection.SetFocus({});
    EXPECT_TRUE(sourceSelection.GetFocus().IsNull());
    EXPECT_EQ(seen, (std::vector<NullOr<DWORD>>{2, {}}));
}

TEST_F(MappingTest, SelectedItemsStayWhenTheSourceIsReordered) {
    viewSelection.SetSelected(DWORD{1}, true);  // beta
    viewSelection.SetFocus(1);
    source.SetRows({{"beta"}, {"gamma"}, {"alpha"}});
    EXPECT_TRUE(viewSelection.IsSelected(1));
    EXPECT_FALSE(viewSelection.IsSelected(0));
    EXPECT_EQ(viewSelection.GetFocus(), NullOr<DWORD>(1));
}

TEST_F(MappingTest, SortColumnsAsTheViewSeesThem) {
    settings.SetOrder({2, 1, 0});
    EXPECT_EQ(viewSettings.GetSortColumn(), NullOr<DWORD>(2));
    EXPECT_TRUE(viewSettings.IsSortAscending());
    viewSettings.SortBy(1);  // source column 1
    EXPECT_EQ(settings.GetSortColumn(), NullOr<DWORD>(1));
    EXPECT_EQ(viewSettings.GetSortColumn(), NullOr<DWORD>(1));
    EXPECT_EQ(viewSettings.GetSecondarySortColumn(), NullOr<DWORD>(2));

    // A hidden sort column is no view column.
    settings.SetVisible(2, false);
    settings.SetSort(2, true);
    EXPECT_TRUE(viewSettings.GetSortColumn().IsNull());
}

TEST_F(MappingTest, ColumnSettingsGoToSourceColumns) {
    settings.SetOrder({2, 0, 1});
    int signals = 0;
    const boost::signals2::scoped_connection listener = viewSettings.changed.connect([&] { ++signals; });
    viewSettings.SetWidth(0, 77);
    EXPECT_EQ(settings.GetWidth(2), 77);
    EXPECT_EQ(viewSettings.GetWidth(0), 77);
    // The header's new order, in view columns: source 1, 2, 0.
    viewSettings.SetOrder({2, 0, 1});
    EXPECT_EQ(columns.Columns(), (std::vector<DWORD>{1, 2, 0}));
    viewSettings.SetVisible(0, false);  // source column 1
    EXPECT_FALSE(settings.IsVisible(1));
    EXPECT_EQ(signals, 3);
    EXPECT_EQ(view.GetColumnCount(), 2u);
}

}  // namespace
