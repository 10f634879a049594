#include "ui/models/RemoveListModel.h"

#include "support/RecordingLog.h"
#include "ui/FakeProduct.h"
#include "ui/models/MappingListCtrlModel.h"
#include "ui/models/MappingListCtrlSelectionModel.h"
#include "ui/models/SortingListCtrlMap.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class RemoveListModelTest : public ::testing::Test {
protected:
    FakeProduct* Add(const std::wstring& name, bool installed, std::optional<std::wstring> version = std::nullopt) {
        products_.push_back(std::make_unique<FakeProduct>(log_, name, installed, std::move(version)));
        catalogue.push_back(products_.back().get());
        return products_.back().get();
    }

    // The rows as a list control shows them: through the sorting maps.
    std::vector<std::string> ShownNames() const {
        std::vector<std::string> names;
        for (DWORD row = 0; row < view.GetRowCount(); ++row) names.push_back(view.GetText(row, 0));
        return names;
    }

    RecordingLog log_;
    std::vector<std::unique_ptr<FakeProduct>> products_;
    std::vector<ORVProduct*> catalogue;
    RemoveListModel model;
    SortingListCtrlMap rows{model.DataModel(), model.ColumnSettings()};
    SortingListCtrlColumnMap columns{model.DataModel(), model.ColumnSettings()};
    MappingListCtrlModel view{model.DataModel(), rows, columns};
    MappingListCtrlSelectionModel viewSelection{model.SelectionModel(), rows};
};

TEST_F(RemoveListModelTest, BeforeTheFirstListingThereAreNoRows) {
    EXPECT_EQ(model.GetRowCount(), 0u);
    EXPECT_EQ(model.GetColumnCount(), 2u);
    EXPECT_EQ(model.GetEmptyText(), "No installed products found.");
    EXPECT_EQ(model.GetColumnHeading(0), "Name");
    EXPECT_EQ(model.GetColumnHeading(1), "Version");
    EXPECT_EQ(model.GetColumnHeading(2), "");
    EXPECT_EQ(model.GetWidth(0), 300);
    EXPECT_EQ(model.GetWidth(1), 150);
    EXPECT_EQ(model.GetSortColumn(), NullOr<DWORD>(0));
    EXPECT_TRUE(model.IsSortAscending());
}

TEST_F(RemoveListModelTest, VersionCellAndColourTellTheState) {
    Add(L"Absent", false, L"1.0");  // a version from an old detection is not shown
    Add(L"No Version", true);
    Add(L"Literal", true, L"unknown");
    Add(L"Capital", true, L"Unknown");
    Add(L"Versioned", true, L"9.1.0.2");
    model.SetProducts(catalogue);

    EXPECT_EQ(model.GetText(0, 1), "");
    EXPECT_EQ(model.GetBackgroundColor(0, 0), 0xFFFFFFu);
    EXPECT_EQ(model.GetText(1, 1), "unknown");
    EXPECT_EQ(model.GetBackgroundColor(1, 0), 0x66FFFFu);
    EXPECT_EQ(model.GetBackgroundColor(2, 1), 0x66FFFFu);
    EXPECT_EQ(model.GetText(3, 1), "Unknown");
    EXPECT_EQ(model.GetBackgroundColor(3, 0), 0x66FF66u);
    EXPECT_EQ(model.GetText(4, 1), "9.1.0.2");
    EXPECT_EQ(model.GetBackgroundColor(4, 1), 0x66FF66u);
    for (DWORD row = 0; row < 5; ++row) EXPECT_EQ(model.GetTextColor(row, 0), 0u);

    EXPECT_EQ(model.GetText(4, 0), "Versioned");
    EXPECT_EQ(model.GetText(4, 2), "");
    EXPECT_EQ(model.ItemAt(2), catalogue[2]);
}

TEST_F(RemoveListModelTest, NamesAreConvertedToUtf8) {
    Add(L"Gest\x00E4ltung", true, L"1\x00B7" L"0");
    model.SetProducts(catalogue);
    EXPECT_EQ(model.GetText(0, 0), "Gest\xC3\xA4ltung");
    EXPECT_EQ(model.GetText(0, 1), "1\xC2\xB7" "0");
}

TEST_F(RemoveListModelTest, RowsAreShownSortedByNameAfterEveryRefresh) {
    Add(L"Server", true, L"9");
    Add(L"agent", false);
    Add(L"Relay", true);
    model.SetProducts(catalogue);
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"agent", "Relay", "Server"}));

    model.SortBy(0);  // a click on the Name heading
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"Server", "Relay", "agent"}));
    model.SortBy(0);
    std::reverse(catalogue.begin(), catalogue.end());
    model.SetProducts(catalogue);
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"agent", "Relay", "Server"}));
}

TEST_F(RemoveListModelTest, SelectionOfComponentsSurvivesARefresh) {
    FakeProduct* server = Add(L"Server", true, L"9");
    Add(L"Agent", true, L"9");
    FakeProduct* relay = Add(L"Relay", true, L"9");
    model.SetProducts(catalogue);
    viewSelection.SetSelected(std::set<DWORD>{1, 2}, true);  // Relay, Server
    viewSelection.SetFocus(2);                               // Server

    // A removal pass changed what is installed; the same objects come back.
    relay->installed = false;
    std::vector<std::string> selectedSeen;
    const boost::signals2::scoped_connection listener = view.changed.connect([&] {
        for (DWORD row = 0; row < view.GetRowCount(); ++row)
            if (viewSelection.IsSelected(row)) selectedSeen.push_back(view.GetText(row, 0));
    });
    model.SetProducts(catalogue);

    EXPECT_EQ(selectedSeen, (std::vector<std::string>{"Relay", "Server"}));
    EXPECT_EQ(model.SelectedItems(), (std::set<ORVProduct*>{server, relay}));
    EXPECT_EQ(viewSelection.GetFocus(), NullOr<DWORD>(2));
    EXPECT_EQ(view.GetBackgroundColor(1, 0), RemoveListModel::kNotInstalledColor);

    // The dialog clears it after a removal pass.
    model.SelectAll(false);
    EXPECT_EQ(model.GetSelectedCount(), 0u);
}

}  // namespace
