#pragma once
// A component shipped under a list of edition names, with the findings most
// components share: the edition in use, the version, the default folder
// under Program Files and the installation folder.

#include "products/ORVProduct.h"

#include <optional>
#include <string>
#include <vector>

using EditionList = std::vector<std::wstring>;

class EditionProduct : public ORVProduct {
public:
    // fixedName: the name shown before the edition is known; editions: the
    // names the component has been shipped under, the default first.
    EditionProduct(Remove::Log& log, std::wstring fixedName, const EditionList& editions)
        : ORVProduct(log), fixedName_(std::move(fixedName)), editions_(editions) {}

    std::wstring Name() const override { return productName ? *productName : fixedName_; }
    std::optional<std::wstring> Version() const override { return version; }

protected:
    // Sets productName, once: the first edition with traces, else the first
    // of the list. Writes "Setting product name to ...".
    void ResolveProductName();
    // Sets defaultPath, once: the Program Files folder and suffix.
    void SetDefaultPath(const wchar_t* suffix);
    // Refreshes installDir from the Uninstall entry, the App Paths entry of
    // executable or the default folder; true when that folder exists.
    bool LocateInstallDir(const wchar_t* executable);
    // Refreshes version from the Uninstall entry, else from the file version
    // of executable in installDir; true when a version was found.
    bool LookupVersion(const wchar_t* executable);
    // A copy of productName for the registry purge.
    std::optional<std::wstring> ProductNameCopy() const { return productName; }
    const EditionList& Editions() const { return editions_; }

    std::optional<std::wstring> productName;
    std::optional<std::wstring> version;
    std::optional<std::wstring> defaultPath;
    std::optional<std::wstring> installDir;

private:
    std::wstring fixedName_;
    const EditionList& editions_;
};
