// Components set up by a real Windows Installer package.

#include "InstallerRecords.h"
#include "LabProcess.h"
#include "MachinePaths.h"
#include "PlanParts.h"
#include "PlanSteps.h"

namespace Lab {

std::wstring InstallPackage(const ComponentPlan& plan, const PlantOptions& options) {
    if (plan.package.empty()) throw Error(L"the lab has no package for " + plan.name);
    const DWORD code = RunAndWait(L"msiexec.exe /i " + Quoted(PackagePath(plan.package)) + L" /qn");
    if (code != 0) throw Error(L"msiexec /i " + plan.package + L" ended with " + std::to_wstring(code));
    const RegKey entry = UninstallEntry(plan.productCode);
    if (!KeyExists(entry)) throw Error(L"the package registered no Uninstall entry at " + entry.Text());

    // The edition name is the name every record of the product carries.
    const RegKey properties = UserDataProduct(plan.productCode).Sub(L"InstallProperties");
    SetValue(entry, TextValue(L"DisplayName", plan.edition));
    SetValue(ProductsRecord(plan.productCode), TextValue(L"ProductName", plan.edition));
    SetValue(properties, TextValue(L"DisplayName", plan.edition));
    if (!options.version.empty()) {
        SetValue(entry, TextValue(L"DisplayVersion", options.version));
        SetValue(properties, TextValue(L"DisplayVersion", options.version));
    }
    if (options.uninstallByX) {
        for (const auto& key : {entry, properties}) {
            SetValue(key, TextValue(L"UninstallString", L"MsiExec.exe /X" + plan.productCode, REG_EXPAND_SZ));
        }
    }
    return ReadText(properties, L"LocalPackage").value_or(L"");
}

}  // namespace Lab
