// What the lab plants for each component is what the remover's component
// classes look for: each planted component is found by its class, with the
// version its setup registered, and none is found after a reset.

#include "products/A2AProduct.h"
#include "products/CDTProduct.h"
#include "products/ConsoleProduct.h"
#include "products/DLPProduct.h"
#include "products/DSSSAMProduct.h"
#include "products/InstallersProduct.h"
#include "products/LoggingServiceProduct.h"
#include "products/MSDEProduct.h"
#include "products/PlatformAPIProduct.h"
#include "support/LabMachine.h"
#include "support/RecordingLog.h"

#include <memory>

namespace {

class LabDetectionTest : public LabMachineTest {};

// Detects every component in a fresh set of objects, as a removal run
// starts: one line per component, its name, whether it is installed and its
// version ("-" when there is none).
std::vector<std::wstring> DetectAll() {
    RecordingLog log;
    std::vector<std::unique_ptr<ORVProduct>> products;
    products.push_back(std::make_unique<ConsoleProduct>(log));
    products.push_back(std::make_unique<CDTProduct>(log));
    products.push_back(std::make_unique<InstallersProduct>(log));
    products.push_back(std::make_unique<PlatformAPIProduct>(log));
    products.push_back(std::make_unique<LoggingServiceProduct>(log));
    products.push_back(std::make_unique<DLPProduct>(log));
    products.push_back(std::make_unique<A2AProduct>(log));
    products.push_back(std::make_unique<DSSSAMProduct>(log));
    products.push_back(std::make_unique<MSDEProduct>(log));
    std::vector<std::wstring> found;
    for (const auto& product : products) {
        product->Detect();
        found.push_back(product->Name() + (product->installed ? L" installed " : L" absent ") +
                        product->Version().value_or(L"-"));
    }
    return found;
}

TEST_F(LabDetectionTest, EachPlantedComponentIsFoundByItsClassAndNoneAfterAReset) {
    Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
    Lab::PlantOptions console;
    console.version = L"9.5.4.2";  // older than the console that embeds the deploy tool
    Lab::Plant(L"console", console);
    for (const wchar_t* component :
         {L"cdt", L"generator", L"api", L"loggingservice", L"dlp", L"a2a", L"sam", L"msde"}) {
        Lab::Plant(component);
    }

    const std::vector<std::wstring> expected = {
        L"Stennet Orvalis Console installed 9.5.4.2",
        L"Stennet Orvalis Client Deploy Tool installed 7.2.1",
        L"Stennet Orvalis Installation Generator installed 7.2.1",
        L"Stennet Orvalis Server API installed 7.2.1",
        L"Client Logging Service installed 7.2.1",
        L"DLP installed 7.2.1.600",  // the control program's file version
        L"A2A installed 7.2.1.500",  // the library's file version
        L"Software Asset Management installed 7.2.1",
        L"Microsoft SQL Server Desktop Engine installed -",
    };
    EXPECT_EQ(DetectAll(), expected);

    Lab::Reset();
    for (const auto& line : DetectAll()) EXPECT_EQ(line.find(L" installed "), std::wstring::npos) << line;
}

}  // namespace
