#include "ui/models/DefaultListCtrlColumnSettingsModel.h"
#include "ui/models/SortingListCtrlMap.h"
#include "ui/models/TableModel.h"

#include <gtest/gtest.h>

namespace {

using Order = std::vector<DWORD>;

TEST(TextOrderTest, CaseIsIgnoredFirstAndDecidesOnlyTies) {
    EXPECT_TRUE(IsTextLess("apple", "Banana"));
    EXPECT_FALSE(IsTextLess("Banana", "apple"));
    // Equal without case: the case-sensitive comparison decides, one way.
    EXPECT_NE(IsTextLess("agent", "Agent"), IsTextLess("Agent", "agent"));
    // Equal in both: neither is less.
    EXPECT_FALSE(IsTextLess("Agent", "Agent"));
    EXPECT_FALSE(IsTextLess("", ""));
    EXPECT_TRUE(IsTextLess("", "a"));
    // UTF-8 texts are compared as the characters they encode.
    EXPECT_TRUE(IsTextLess("\xC3\xA9tude", "Zebra"));  // "étude"
}

class SortingMapTest : public ::testing::Test {
protected:
    TableModel model;
    DefaultListCtrlColumnSettingsModel settings;
    SortingListCtrlMap map{model, settings};
};

TEST_F(SortingMapTest, WithoutSortColumnRowsKeepTheirOrder) {
    model.SetRows({{"b"}, {"a"}, {"c"}});
    EXPECT_EQ(map.Rows(), (Order{0, 1, 2}));
}

TEST_F(SortingMapTest, EmptyModelGivesEmptyMap) {
    settings.SetSort(0, true);
    model.SetRows({});
    EXPECT_TRUE(map.Rows().empty());
    EXPECT_EQ(map.ToView(0), 0u);
    EXPECT_THROW(map.ToSource(0), std::out_of_range);
}

TEST_F(SortingMapTest, SortsBothWaysFollowingTheSettings) {
    model.SetRows({{"Relay"}, {"agent"}, {"Console"}, {"Server"}});
    settings.SetSort(0, true);
    EXPECT_EQ(map.Rows(), (Order{1, 2, 0, 3}));
    EXPECT_EQ(map.ToSource(0), 1u);
    EXPECT_EQ(map.ToView(1), 0u);
    settings.SortBy(0);
    EXPECT_EQ(map.Rows(), (Order{3, 0, 2, 1}));
}

TEST_F(SortingMapTest, EqualRowsKeepTheirOrderAscendingAndSwapDescending) {
    // Rows 0, 2 and 3 are equal by column 0, also case-sensitively.
    model.SetRows({{"x", "1"}, {"a", "2"}, {"x", "3"}, {"x", "4"}});
    settings.SetSort(0, true);
    EXPECT_EQ(map.Rows(), (Order{1, 0, 2, 3}));
    settings.SetSort(0, false);
    EXPECT_EQ(map.Rows(), (Order{3, 2, 0, 1}));
    // Stable from the present order: ascending again keeps 3, 2, 0.
    settings.SetSort(0, true);
    EXPECT_EQ(map.Rows(), (Order{1, 3, 2, 0}));
}

TEST_F(SortingMapTest, TextsDifferingInCaseOnlyAreOrderedCaseSensitively) {
    model.SetRows({{"Agent"}, {"agent"}, {"AGENT"}});
    settings.SetSort(0, true);
    const Order ascending = map.Rows();
    for (size_t i = 1; i < ascending.size(); ++i)
        EXPECT_TRUE(IsTextLess(model.GetText(ascending[i - 1], 0), model.GetText(ascending[i], 0)));
    settings.SetSort(0, false);
    EXPECT_EQ(map.Rows(), (Order{ascending[2], ascending[1], ascending[0]}));
}

TEST_F(SortingMapTest, SecondarySortOrdersTies) {
    model.SetRows({{"b", "2"}, {"a", "9"}, {"b", "1"}, {"a", "3"}});
    settings.SetSort(1, false);
    settings.SortBy(0);  // sort by 0 ascending, then by 1 descending
    EXPECT_EQ(map.Rows(), (Order{1, 3, 0, 2}));
}

TEST_F(SortingMapTest, ChangedRowCountKeepsKnownRowsAndAppendsNewOnes) {
    model.SetRows({{"a"}, {"b"}, {"c"}, {"d"}});
    // Without a sort the present order stays; rows beyond the count go.
    model.SetRows({{"a"}, {"b"}});
    EXPECT_EQ(map.Rows(), (Order{0, 1}));
    model.SetRows({{"a"}, {"b"}, {"c"}});
    EXPECT_EQ(map.Rows(), (Order{0, 1, 2}));
}

TEST_F(SortingMapTest, ColumnChangesResortOnlyForSortColumns) {
    model.SetRows({{"a", "2"}, {"b", "1"}});
    settings.SetSort(1, true);
    EXPECT_EQ(map.Rows(), (Order{1, 0}));
    model.SetCell(0, 1, "0");
    model.columnsChanged(std::vector<DWORD>{0});
    EXPECT_EQ(map.Rows(), (Order{1, 0}));
    model.columnsChanged(std::vector<DWORD>{0, 1});
    EXPECT_EQ(map.Rows(), (Order{0, 1}));
}

TEST_F(SortingMapTest, RebuildsBeforeListenersConnectedEarlierWithoutGroup) {
    // A listener connected before the map was built still sees sorted rows.
    TableModel source;
    DefaultListCtrlColumnSettingsModel sourceSettings;
    Order seen;
    std::unique_ptr<SortingListCtrlMap> later;
    const boost::signals2::scoped_connection listener = source.changed.connect([&] { seen = later->Rows(); });
    later = std::make_unique<SortingListCtrlMap>(source, sourceSettings);
    sourceSettings.SetSort(0, true);
    source.SetRows({{"c"}, {"a"}, {"b"}});
    EXPECT_EQ(seen, (Order{1, 2, 0}));
}

TEST_F(SortingMapTest, FailingComparisonKeepsThePreviousOrder) {
    model.SetRows({{"b"}, {"a"}});
    settings.SetSort(0, true);
    EXPECT_EQ(map.Rows(), (Order{1, 0}));
    // Not UTF-8: the comparison throws, the rows stay as they were.
    model.SetCell(0, 0, "\xFF");
    EXPECT_ANY_THROW(map.Rebuild());
    EXPECT_EQ(map.Rows(), (Order{1, 0}));
}

TEST(SortingColumnMapTest, VisibleColumnsInDisplayOrder) {
    TableModel model(4);
    DefaultListCtrlColumnSettingsModel settings;
    SortingListCtrlColumnMap columns(model, settings);
    EXPECT_EQ(columns.Columns(), (Order{0, 1, 2, 3}));

    settings.SetOrder({3, 1, 0, 2});
    settings.SetVisible(1, false);
    EXPECT_EQ(columns.Columns(), (Order{3, 0, 2}));
    EXPECT_EQ(columns.ToSource(0), 3u);
    EXPECT_EQ(columns.ToView(2), 2u);
    EXPECT_FALSE(columns.Shows(1));
    EXPECT_EQ(columns.ToView(1), 0u);  // not shown
    EXPECT_THROW(columns.ToSource(3), std::out_of_range);
}

}  // namespace
