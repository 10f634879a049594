#include "PlanParts.h"

#include "LabError.h"

namespace Lab {

void UsePackage(ComponentPlan& plan, const Packages::Package& package) {
    plan.package = package.file;
    plan.productCode = package.productCode;
    plan.upgradeCode = package.upgradeCode;
    plan.componentCode = package.componentCode;
    plan.version = package.version;
}

FileSpec TextFile(const std::wstring& path, const std::string& text, bool readOnly) {
    return {path, FileKind::Text, text, readOnly};
}

FileSpec ProductProgram(const std::wstring& path) { return {path, FileKind::ProductProgram, {}, false}; }

FileSpec DeepFile(const std::wstring& folder) {
    std::wstring path = folder + L"\\Cache";
    while (path.size() < MAX_PATH + 20) path += L"\\Cached package data kept between sessions";
    return TextFile(path + L"\\entry.dat", "cached entry\r\n");
}

KeySpec ControlSet002Copy(const std::wstring& service, const std::wstring& imagePath) {
    return {Hklm64(L"SYSTEM\\ControlSet002\\services\\" + service),
            {TextValue(L"ImagePath", imagePath, REG_EXPAND_SZ), NumberValue(L"Start", SERVICE_AUTO_START),
             NumberValue(L"Type", SERVICE_WIN32_OWN_PROCESS)},
            false};
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

void RefuseInstallShield(const PlantOptions& options, const std::wstring& component) {
    if (options.setup == SetupKind::InstallShield) {
        throw Error(component + L" is set up by Windows Installer only: plant it with --setup=msi or none");
    }
}

}  // namespace Lab
