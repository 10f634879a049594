#pragma once
// A2A, the agent-to-agent interface: a library folder beside the agent's
// folder and its key under the agent's key. It has no uninstaller.

#include "products/ORVProduct.h"

class A2AProduct : public ORVProduct {
public:
    explicit A2AProduct(Remove::Log& log) : ORVProduct(log) {}

    std::wstring Name() const override { return L"A2A"; }
    std::optional<std::wstring> Version() const override { return version; }
    void Detect() override;
    bool Remove() override;

private:
    bool LocateInstallDir();

    std::optional<std::wstring> version;
    std::optional<std::wstring> installDir;
    std::optional<std::wstring> defaultPath;
};
