#pragma once
// Software asset management: an uninstall entry, installer records and its
// inventory key.

#include "products/ORVProduct.h"

class DSSSAMProduct : public ORVProduct {
public:
    explicit DSSSAMProduct(Remove::Log& log) : ORVProduct(log) {}

    std::wstring Name() const override { return L"Software Asset Management"; }
    std::optional<std::wstring> Version() const override { return version; }
    void Detect() override;
    bool Remove() override;

private:
    std::optional<std::wstring> version;
};
