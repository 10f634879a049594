#pragma once
// The agent: the endpoint client service "ORVClient", its folder, keys and
// installer records, and the separate client helper service.

#include "products/EditionProduct.h"

class ClientProduct : public EditionProduct {
public:
    explicit ClientProduct(Remove::Log& log);

    void Detect() override;
    bool Remove() override;

    static const EditionList kEditions;

private:
    bool HelperCheck();
    bool RemoveHelper();

    std::optional<std::wstring> helperImagePath;
};
