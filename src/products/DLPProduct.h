#pragma once
// DLP, which lives in the "DLP" folder inside the agent's folder and is
// removed by its own control program. It has no uninstall entry.

#include "products/ORVProduct.h"

class DLPProduct : public ORVProduct {
public:
    explicit DLPProduct(Remove::Log& log) : ORVProduct(log) {}

    std::wstring Name() const override { return L"DLP"; }
    std::optional<std::wstring> Version() const override { return version; }
    void Detect() override;
    bool Remove() override;

private:
    bool LocateInstallDir();

    std::optional<std::wstring> version;
    std::optional<std::wstring> installDir;
    std::optional<std::wstring> defaultPath;
};
