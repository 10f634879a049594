#include "ui/DialogRemoval.h"

#include <gtest/gtest.h>

namespace {

using C = Component;

class NamedProduct : public ORVProduct {
public:
    NamedProduct(Remove::Log& log, std::wstring name) : ORVProduct(log), name_(std::move(name)) {}
    std::wstring Name() const override { return name_; }
    std::optional<std::wstring> Version() const override { return std::nullopt; }
    void Detect() override {}
    bool Remove() override { return true; }

private:
    std::wstring name_;
};

class DialogRemovalTest : public ::testing::Test {
protected:
    DialogRemovalTest() {
        for (size_t i = 0; i < kComponentCount; ++i)
            catalogue.Set(static_cast<C>(i), std::make_unique<NamedProduct>(log, L"P" + std::to_wstring(i)));
    }
    ORVProduct* P(C c) const { return catalogue.Get(c); }
    void Install(std::initializer_list<C> components) {
        for (C c : components) P(c)->installed = true;
    }
    std::vector<ORVProduct*> List(std::initializer_list<C> components) const {
        std::vector<ORVProduct*> list;
        for (C c : components) list.push_back(P(c));
        return list;
    }

    Remove::Log log;
    Catalogue catalogue;
};

TEST_F(DialogRemovalTest, ClientWithAnInstalledRelayLeftOutIsWarnedAndRemovesNothing) {
    Install({C::Agent, C::Relay, C::Server});
    const auto plan = PlanDialogRemoval(catalogue, List({C::Agent, C::Relay}));
    ASSERT_TRUE(plan.dependencyWarning.has_value());
    EXPECT_TRUE(plan.order.empty());
    // Every installed dependent is named, also the one already chosen.
    const std::wstring relay = P(C::Relay)->Name(), server = P(C::Server)->Name();
    EXPECT_EQ(*plan.dependencyWarning,
              L"Removing the client will:\r\ndestroy the relay configuration\r\ndestroy the server configuration\r\n"
              L"\r\nIn order to remove the client, you must also remove the following components:\r\n" +
                  relay + L"\r\n" + server + L"\r\n");
}

TEST_F(DialogRemovalTest, ClientWithItsDependentsBringsLoggingServiceAndDlpInTheDialogOrder) {
    Install({C::Agent, C::Relay, C::Server, C::LoggingService, C::DLP});
    const auto plan = PlanDialogRemoval(catalogue, List({C::Agent, C::Server, C::Relay}));
    EXPECT_FALSE(plan.dependencyWarning.has_value());
    EXPECT_EQ(plan.order, List({C::Relay, C::Server, C::DLP, C::LoggingService, C::Agent}));
}

TEST_F(DialogRemovalTest, ImpliedComponentsNeedToBeInstalled) {
    Install({C::Agent, C::DLP});
    EXPECT_EQ(PlanDialogRemoval(catalogue, List({C::Agent})).order, List({C::Agent}));
    // The logging service chosen on its own still brings an installed DLP.
    EXPECT_EQ(PlanDialogRemoval(catalogue, List({C::LoggingService})).order, List({C::DLP, C::LoggingService}));
}

TEST_F(DialogRemovalTest, AnUninstalledDependentDoesNotStopTheClient) {
    Install({C::Agent});
    const auto plan = PlanDialogRemoval(catalogue, List({C::Agent, C::MSDE, C::A2A}));
    EXPECT_FALSE(plan.dependencyWarning.has_value());
    EXPECT_EQ(plan.order, List({C::A2A, C::Agent, C::MSDE}));
}

TEST_F(DialogRemovalTest, QuestionAndSummaryTexts) {
    EXPECT_EQ(ConfirmRemovalText(List({C::Relay})), L"Are you sure you want to remove \"" + P(C::Relay)->Name() + L"\"?");
    EXPECT_EQ(ConfirmRemovalText(List({C::Relay, C::Server})),
              L"Are you sure you want to remove the 2 selected components?");
    EXPECT_EQ(ConfirmRemoveAllText(3), L"Are you sure you want to remove all 3 installed components?");
    EXPECT_EQ(RemovalSummaryText(true, 4), L"Successfully removed 4 products.");
    EXPECT_EQ(RemovalSummaryText(false, 4), L"Some errors were encountered.  See the log for details.");
    EXPECT_EQ(RemovalSummaryText(true, 2, true),
              L"Successfully removed 2 products.\n\nWindows must be restarted to finish the removal.");
}

}  // namespace
