#include "app/Catalogue.h"

#include "products/A2AProduct.h"
#include "products/CDTProduct.h"
#include "products/ClientProduct.h"
#include "products/ConsoleProduct.h"
#include "products/DLPProduct.h"
#include "products/DatabaseProduct.h"
#include "products/DSSSAMProduct.h"
#include "products/InstallersProduct.h"
#include "products/LoggingServiceProduct.h"
#include "products/MSDEProduct.h"
#include "products/PlatformAPIProduct.h"
#include "products/RelayProduct.h"
#include "products/ServerProduct.h"

Catalogue MakeCatalogue(Remove::Log& log) {
    Catalogue catalogue;
    catalogue.Set(Component::Agent, std::make_unique<ClientProduct>(log));
    catalogue.Set(Component::Server, std::make_unique<ServerProduct>(log));
    catalogue.Set(Component::Relay, std::make_unique<RelayProduct>(log));
    catalogue.Set(Component::Console, std::make_unique<ConsoleProduct>(log));
    catalogue.Set(Component::ClientDeployTool, std::make_unique<CDTProduct>(log));
    catalogue.Set(Component::InstallationGenerator, std::make_unique<InstallersProduct>(log));
    catalogue.Set(Component::PlatformAPI, std::make_unique<PlatformAPIProduct>(log));
    catalogue.Set(Component::LoggingService, std::make_unique<LoggingServiceProduct>(log));
    catalogue.Set(Component::DLP, std::make_unique<DLPProduct>(log));
    catalogue.Set(Component::SoftwareAssetManagement, std::make_unique<DSSSAMProduct>(log));
    catalogue.Set(Component::MSDE, std::make_unique<MSDEProduct>(log));
    catalogue.Set(Component::A2A, std::make_unique<A2AProduct>(log));
    catalogue.Set(Component::Databases, std::make_unique<DatabaseProduct>(log));
    return catalogue;
}
