#pragma once
// The platform (server) API. It has no folder, service or key that the
// program knows: it is found through its uninstall entry and installer
// records only, and removed by its uninstaller, which for InstallShield
// setups needs a response file naming the product's GUID.

#include "products/EditionProduct.h"

class PlatformAPIProduct : public EditionProduct {
public:
    explicit PlatformAPIProduct(Remove::Log& log);

    void Detect() override;
    bool Remove() override;

    // Writes the response file for the product whose GUID ("{...}", braces
    // included) the uninstall string holds. False, after its log line, when
    // the string holds no GUID or the file cannot be written.
    bool WriteGuidResponseFile(const std::wstring& uninstallString, const std::wstring& path);

    static const EditionList kEditions;
};

// The response file text for one product GUID, as 8-bit text.
std::string GuidResponseFileText(const std::string& guid);
