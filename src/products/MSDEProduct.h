#pragma once
// Microsoft SQL Server Desktop Engine, known only by its uninstall string:
// it is installed while the string exists and removed when its uninstaller
// takes the string away. There is no manual step.

#include "products/ORVProduct.h"

class MSDEProduct : public ORVProduct {
public:
    explicit MSDEProduct(Remove::Log& log) : ORVProduct(log) {}

    std::wstring Name() const override { return L"Microsoft SQL Server Desktop Engine"; }
    // No version is ever read.
    std::optional<std::wstring> Version() const override { return std::nullopt; }
    void Detect() override;
    bool Remove() override;
};
