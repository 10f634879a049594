#pragma once
// The client deploy tool, an operator tool that installs agents on other
// machines. From console version 9.5.5.0 on the tool ships inside the
// console and is no component of its own; a private console object, whose
// detection writes to a log that discards everything, tells which case
// holds.

#include "products/ComponentVersion.h"
#include "products/ConsoleProduct.h"
#include "products/EditionProduct.h"

class CDTProduct : public EditionProduct {
public:
    explicit CDTProduct(Remove::Log& log);

    void Detect() override;
    bool Remove() override;

    static const EditionList kEditions;
    // The first console version that holds the tool.
    static const ComponentVersion EmbeddedDeployToolVersion;

private:
    bool EmbeddedInConsole();
    void WriteEmbeddedLine();

    Remove::Log quietLog;
    ConsoleProduct embeddedConsole;
};
