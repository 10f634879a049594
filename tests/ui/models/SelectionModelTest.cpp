#include "ui/models/TableModel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Rows = std::set<DWORD>;

class SelectionModelTest : public ::testing::Test {
protected:
    SelectionModelTest() {
        model.SetRows({{"alpha"}, {"beta"}, {"gamma"}, {"delta"}});
        selectionSignal_ = selection.selectionChanged.connect([this](const Rows& rows) { selections.push_back(rows); });
        focusSignal_ = selection.focusChanged.connect([this](NullOr<DWORD> row) { focuses.push_back(row); });
    }

    TableModel model{1};
    TableSelection selection{model, model};
    std::vector<Rows> selections;
    std::vector<NullOr<DWORD>> focuses;

private:
    boost::signals2::scoped_connection selectionSignal_;
    boost::signals2::scoped_connection focusSignal_;
};

TEST_F(SelectionModelTest, SetSelectedOnASetAlwaysAnnounces) {
    selection.SetSelected(Rows{0, 2}, true);
    EXPECT_TRUE(selection.IsSelected(0));
    EXPECT_FALSE(selection.IsSelected(1));
    EXPECT_TRUE(selection.IsSelected(2));
    EXPECT_EQ(selection.GetSelectedCount(), 2u);

    selection.SetSelected(Rows{0, 2}, true);  // nothing changes, still announced
    selection.SetSelected(Rows{2}, false);
    EXPECT_EQ(selections, (std::vector<Rows>{{0, 2}, {0, 2}, {2}}));
    EXPECT_EQ(selection.GetSelectedCount(), 1u);
}

TEST_F(SelectionModelTest, SetSelectedOnARowAnnouncesOnlyAChange) {
    selection.SetSelected(DWORD{1}, true);
    selection.SetSelected(DWORD{1}, true);
    selection.SetSelected(DWORD{3}, false);
    selection.SetSelected(DWORD{1}, false);
    EXPECT_EQ(selections, (std::vector<Rows>{{1}, {1}}));
}

TEST_F(SelectionModelTest, SelectAll) {
    // Clearing an empty selection announces nothing.
    selection.SelectAll(false);
    EXPECT_TRUE(selections.empty());

    selection.SelectAll(true);
    EXPECT_EQ(selection.GetSelectedCount(), 4u);
    selection.SelectAll(false);
    EXPECT_EQ(selection.GetSelectedCount(), 0u);
    EXPECT_EQ(selections, (std::vector<Rows>{{}, {}}));
}

TEST_F(SelectionModelTest, FocusIsAnnouncedOnChangeOnly) {
    EXPECT_TRUE(selection.GetFocus().IsNull());
    selection.SetFocus({});
    selection.SetFocus(2);
    selection.SetFocus(2);
    EXPECT_TRUE(selection.IsFocused(2));
    EXPECT_FALSE(selection.IsFocused(0));
    selection.SetFocus({});
    EXPECT_EQ(focuses, (std::vector<NullOr<DWORD>>{2, {}}));
}

TEST_F(SelectionModelTest, SelectionAndFocusFollowTheirItemsWhenRowsAreReplaced) {
    selection.SetSelected(Rows{1, 3}, true);  // beta, delta
    selection.SetFocus(3);                    // delta
    selections.clear();

    // The same items in another order: nothing to announce.
    model.SetRows({{"delta"}, {"gamma"}, {"beta"}, {"alpha"}});
    EXPECT_TRUE(selections.empty());
    EXPECT_TRUE(selection.IsSelected(0));
    EXPECT_TRUE(selection.IsSelected(2));
    EXPECT_FALSE(selection.IsSelected(1));
    EXPECT_EQ(selection.GetFocus(), NullOr<DWORD>(0));

    // A selected item and the focused item go away.
    model.SetRows({{"gamma"}, {"beta"}, {"epsilon"}});
    EXPECT_EQ(selections, (std::vector<Rows>{{}}));
    EXPECT_EQ(selection.GetSelectedCount(), 1u);
    EXPECT_TRUE(selection.IsSelected(1));
    EXPECT_TRUE(selection.GetFocus().IsNull());

    // A later item of the same name does not bring either back.
    model.SetRows({{"delta"}, {"beta"}});
    EXPECT_FALSE(selection.IsSelected(0));
    EXPECT_TRUE(selection.GetFocus().IsNull());
}

TEST_F(SelectionModelTest, EmptyModelClearsSelectionAndFocus) {
    selection.SelectAll(true);
    selection.SetFocus(1);
    selections.clear();
    model.SetRows({});
    EXPECT_EQ(selection.GetSelectedCount(), 0u);
    EXPECT_TRUE(selection.GetFocus().IsNull());
    EXPECT_EQ(selections, (std::vector<Rows>{{}}));
    // Nothing left to clear.
    selection.SelectAll(false);
    EXPECT_EQ(selections.size(), 1u);
}

}  // namespace
