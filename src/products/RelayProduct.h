#pragma once
// The relay: the service "ORVRelay", its folder, its share of the server's
// settings key (marked by "RelayVersion") and its installer records.

#include "products/EditionProduct.h"

class RelayProduct : public EditionProduct {
public:
    explicit RelayProduct(Remove::Log& log);

    void Detect() override;
    bool Remove() override;

    static const EditionList kEditions;

private:
    bool RemoveRegistryKeys();
};
