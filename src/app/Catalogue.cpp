#include "app/Catalogue.h"

using C = Component;

const ComponentOrder kDialogDetectionOrder = {
    C::MSDE,    C::Agent,   C::LoggingService, C::DLP,    C::Console,
    C::ClientDeployTool, C::Databases, C::InstallationGenerator, C::PlatformAPI,
    C::Relay,   C::Server,  C::SoftwareAssetManagement, C::A2A,
};

const ComponentOrder kDialogRemovalOrder = {
    C::A2A,     C::PlatformAPI, C::Console, C::SoftwareAssetManagement, C::ClientDeployTool,
    C::Relay,   C::Server,  C::DLP,     C::LoggingService, C::Agent,
    C::Databases, C::InstallationGenerator, C::MSDE,
};

const ComponentOrder kSilentDetectionOrder = {
    C::PlatformAPI, C::Console, C::ClientDeployTool, C::Server, C::Relay,
    C::DLP,     C::LoggingService, C::Agent, C::Databases, C::InstallationGenerator,
    C::MSDE,    C::SoftwareAssetManagement, C::A2A,
};

const ComponentOrder kSilentRemovalOrder = {
    C::PlatformAPI, C::Console, C::ClientDeployTool, C::SoftwareAssetManagement, C::Relay,
    C::Server,  C::DLP,     C::LoggingService, C::Agent, C::Databases,
    C::InstallationGenerator, C::MSDE, C::A2A,
};

const wchar_t* SilentSwitch(Component c) {
    switch (c) {
    case C::Agent: return L"/client";
    case C::Server: return L"/server";
    case C::Relay: return L"/relay";
    case C::Console: return L"/console";
    case C::ClientDeployTool: return L"/cdt";
    case C::InstallationGenerator: return L"/generator";
    case C::PlatformAPI: return L"/api";
    case C::LoggingService: return L"/loggingservice";
    case C::DLP: return L"/dlp";
    case C::SoftwareAssetManagement: return L"/sam";
    case C::MSDE: return L"/msde";
    case C::A2A: return L"/a2a";
    case C::Databases: return L"/database";
    }
    return L"";
}
