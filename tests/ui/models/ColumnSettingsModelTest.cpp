#include "ui/models/DefaultListCtrlColumnSettingsModel.h"

#include <gtest/gtest.h>

namespace {

class ColumnSettingsTest : public ::testing::Test {
protected:
    ColumnSettingsTest() {
        connection_ = settings.changed.connect([this] { ++signals; });
    }

    DefaultListCtrlColumnSettingsModel settings;
    int signals = 0;

private:
    boost::signals2::scoped_connection connection_;
};

// Defaults chosen by overriding the hooks, as a list model does.
class WideSettings : public DefaultListCtrlColumnSettingsModel {
protected:
    bool GetDefaultVisible(DWORD column) const override { return column != 2; }
    int GetDefaultWidth(DWORD column) const override { return 40 + static_cast<int>(column); }
    int GetDefaultOrder(DWORD column) const override { return -static_cast<int>(column); }
    NullOr<DWORD> GetDefaultSortColumn() const override { return 1; }
    NullOr<DWORD> GetDefaultSecondarySortColumn() const override { return 0; }
    bool GetDefaultAscending() const override { return true; }
    bool GetDefaultSecondaryAscending() const override { return true; }
};

TEST(ColumnSettingsHooksTest, RecordsAreMadeFromTheHooks) {
    WideSettings settings;
    EXPECT_FALSE(settings.IsVisible(2));
    EXPECT_EQ(settings.GetWidth(3), 43);
    EXPECT_TRUE(settings.IsOrderedBefore(1, 0));
    EXPECT_EQ(settings.GetSortColumn(), NullOr<DWORD>(1));
    EXPECT_EQ(settings.GetSecondarySortColumn(), NullOr<DWORD>(0));
    EXPECT_TRUE(settings.IsSortAscending());
    EXPECT_TRUE(settings.IsSecondarySortAscending());
}

TEST_F(ColumnSettingsTest, SortByTheSameColumnTwiceReturnsToTheFirstDirection) {
    settings.SortBy(1);
    EXPECT_EQ(settings.GetSortColumn(), NullOr<DWORD>(1));
    EXPECT_FALSE(settings.IsSortAscending());  // the direction it had
    settings.SortBy(1);
    EXPECT_TRUE(settings.IsSortAscending());
    settings.SortBy(1);
    EXPECT_FALSE(settings.IsSortAscending());
    EXPECT_TRUE(settings.GetSecondarySortColumn().IsNull());
    EXPECT_EQ(signals, 3);
}

TEST_F(ColumnSettingsTest, SortByAnotherColumnMakesTheOldOneSecondary) {
    settings.SetSort(0, false);
    settings.SortBy(1);
    EXPECT_EQ(settings.GetSortColumn(), NullOr<DWORD>(1));
    EXPECT_TRUE(settings.IsSortAscending());
    EXPECT_EQ(settings.GetSecondarySortColumn(), NullOr<DWORD>(0));
    EXPECT_FALSE(settings.IsSecondarySortAscending());

    settings.SortBy(2);
    EXPECT_EQ(settings.GetSortColumn(), NullOr<DWORD>(2));
    EXPECT_EQ(settings.GetSecondarySortColumn(), NullOr<DWORD>(1));
    EXPECT_TRUE(settings.IsSecondarySortAscending());
}

TEST_F(ColumnSettingsTest, HidingSortColumns) {
    // The secondary sort column is promoted when the sort column goes.
    settings.SetSort(0, true);
    settings.SortBy(1);  // sort 1 ascending, secondary 0 ascending
    settings.SortBy(1);  // sort 1 descending
    settings.SetVisible(1, false);
    EXPECT_EQ(settings.GetSortColumn(), NullOr<DWORD>(0));
    EXPECT_TRUE(settings.GetSecondarySortColumn().IsNull());
    EXPECT_FALSE(settings.IsSortAscending());  // directions are left alone

    // Without a secondary one, hiding the sort column leaves none.
    settings.SetVisible(0, false);
    EXPECT_TRUE(settings.GetSortColumn().IsNull());

    // Hiding the secondary one only clears it.
    settings.SetVisible(0, true);
    settings.SetVisible(1, true);
    settings.SetSort(0, true);
    settings.SortBy(1);
    settings.SetVisible(0, false);
    EXPECT_EQ(settings.GetSortColumn(), NullOr<DWORD>(1));
    EXPECT_TRUE(settings.GetSecondarySortColumn().IsNull());
}

TEST_F(ColumnSettingsTest, OnlyRealChangesAreAnnounced) {
    settings.SetVisible(0, true);
    settings.SetWidth(0, 100);
    settings.SetOrder({});
    EXPECT_EQ(signals, 0);

    settings.SetWidth(0, 120);
    EXPECT_EQ(settings.GetWidth(0), 120);
    EXPECT_EQ(signals, 1);

    settings.SetOrder({2, 0, 1});
    EXPECT_EQ(signals, 2);
    EXPECT_TRUE(settings.IsOrderedBefore(2, 0));
    EXPECT_TRUE(settings.IsOrderedBefore(0, 1));
    settings.SetOrder({2, 0, 1});
    EXPECT_EQ(signals, 2);

    // SetSort always announces.
    settings.SetSort(0, true);
    settings.SetSort(0, true);
    EXPECT_EQ(signals, 4);
}

}  // namespace
