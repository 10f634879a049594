#pragma once
// The server: five services, its installation folder and two web roots,
// its keys and its installer records. A relay shares its settings key and
// marks it with "RelayVersion"; such a key does not make a server.

#include "products/EditionProduct.h"

class ServerProduct : public EditionProduct {
public:
    explicit ServerProduct(Remove::Log& log);

    void Detect() override;
    bool Remove() override;

    static const EditionList kEditions;

private:
    void SetDefaultFolders();
    void LocateFolders();
    void LocateReportsWwwRoot();
    bool ServerKeysExist();

    std::optional<std::wstring> defaultWwwPath;
    std::optional<std::wstring> defaultReportsWwwPath;
    std::optional<std::wstring> wwwRoot;
    std::optional<std::wstring> reportsWwwRoot;
};
