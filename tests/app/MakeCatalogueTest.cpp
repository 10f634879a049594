// The program's own catalogue: one object of the right class per component,
// and the silent driver's agent rule over real components.

#include "app/SilentRemoval.h"
#include "products/ProductTestSupport.h"
#include "support/MessageBoxRecorder.h"
#include "support/RecordingLog.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using C = Component;
using namespace ProductTest;

// The driver's rules over the real components; the databases, which need a
// SQL Server, take no part in them.
Catalogue WithoutDatabases(Catalogue catalogue) {
    catalogue.Set(C::Databases, nullptr);
    return catalogue;
}

TEST(MakeCatalogueTest, ComponentsHaveTheirClasses) {
    const std::map<C, std::wstring> names = {
        {C::Agent, L"Agent"},
        {C::Server, L"Server"},
        {C::Relay, L"Relay"},
        {C::Console, L"Console"},
        {C::ClientDeployTool, L"Client Deploy Tool"},
        {C::InstallationGenerator, L"Deployment Installer"},
        {C::PlatformAPI, L"Platform API"},
        {C::LoggingService, L"Client Logging Service"},
        {C::DLP, L"DLP"},
        {C::SoftwareAssetManagement, L"Software Asset Management"},
        {C::MSDE, L"Microsoft SQL Server Desktop Engine"},
        {C::A2A, L"A2A"},
    };
    RecordingLog log;
    const Catalogue catalogue = MakeCatalogue(log);
    for (const auto& [component, name] : names) {
        ASSERT_NE(catalogue.Get(component), nullptr) << name;
        EXPECT_EQ(catalogue.Get(component)->Name(), name);
        EXPECT_FALSE(catalogue.Get(component)->installed);
    }
    EXPECT_TRUE(log.pieces.empty());
}

TEST(MakeCatalogueTest, InstalledA2AKeepsTheAgentUnlessSelected) {
    RegistryFixture registry;
    // The A2A key lies under the agent's key, so both are installed.
    registry.CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\EnterpriseClient\\A2A");
    RecordingLog log;
    const Catalogue catalogue = WithoutDatabases(MakeCatalogue(log));
    MessageBoxRecorder boxes;
    bool cleanedUp = false;
    RunSilentRemoval(L"/silent /client", catalogue, log, [&cleanedUp](Remove::Log&) { cleanedUp = true; });
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(Contains(boxes.boxes[0].text, L"options:  '/a2a'. To"));
    EXPECT_FALSE(cleanedUp);
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\EnterpriseClient\\A2A"));
}

TEST(MakeCatalogueTest, DeployToolInsideTheConsoleIsNoDependent) {
    RegistryFixture registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\EnterpriseClient");
    const std::wstring console = PlantEntry(registry, L"Stennet Orvalis Console", L"Console");
    registry.SetString(HKEY_LOCAL_MACHINE, console, L"DisplayVersion", L"9.6.0.0");
    PlantEntry(registry, L"Stennet Orvalis Client Deploy Tool", L"Tool");
    RecordingLog log;
    const Catalogue catalogue = WithoutDatabases(MakeCatalogue(log));
    MessageBoxRecorder boxes;
    RunSilentRemoval(L"/silent /client /console", catalogue, log, [](Remove::Log&) {});
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(catalogue.Get(C::Agent)->installed);
    EXPECT_FALSE(catalogue.Get(C::Console)->installed);
    // With the console gone the tool stands on its own again.
    EXPECT_TRUE(catalogue.Get(C::ClientDeployTool)->installed);
}

}  // namespace
