#pragma once
// The installation generator, the tool that builds the suite's installers:
// its folder, its registry key, its installer records and the credentials
// folder it leaves in the Documents folder of the user who ran it.

#include "products/EditionProduct.h"

class InstallersProduct : public EditionProduct {
public:
    explicit InstallersProduct(Remove::Log& log);

    void Detect() override;
    bool Remove() override;

    static const EditionList kEditions;

private:
    bool LocateGeneratorFolder();
};
