#pragma once
// The client logging service that lives beside the agent: its folder, its
// key (which may hold its own uninstall command) and its installer records.
// A product still registered after its uninstaller ends the removal with
// false and leaves every trace in place.

#include "products/ORVProduct.h"

class LoggingServiceProduct : public ORVProduct {
public:
    explicit LoggingServiceProduct(Remove::Log& log) : ORVProduct(log) {}

    std::wstring Name() const override { return L"Client Logging Service"; }
    std::optional<std::wstring> Version() const override { return version; }
    void Detect() override;
    bool Remove() override;

    // The name of its uninstall entry and installer records.
    static const wchar_t kLookupName[];

private:
    bool LocateInstallDir();
    std::optional<std::wstring> UninstallCommand();

    std::optional<std::wstring> version;
    std::optional<std::wstring> installDir;
    std::optional<std::wstring> defaultPath;
};
