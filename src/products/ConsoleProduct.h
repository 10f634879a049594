#pragma once
// The operator console: its installation folder, the application data
// folder and settings key of the user who runs the removal and of every
// other profile, and its installer records.

#include "products/EditionProduct.h"

class ConsoleProduct : public EditionProduct {
public:
    explicit ConsoleProduct(Remove::Log& log);

    void Detect() override;
    bool Remove() override;

    static const EditionList kEditions;

private:
    void SetAppDataPath();

    std::optional<std::wstring> appDataPath;
};
