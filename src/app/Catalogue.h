#pragma once
// The thirteen components the program knows, the orders in which each driver
// walks them, and the dependencies between them.

#include "products/ORVProduct.h"

#include <array>
#include <memory>

enum class Component {
    Agent,
    Server,
    Relay,
    Console,
    ClientDeployTool,
    InstallationGenerator,
    PlatformAPI,
    LoggingService,
    DLP,
    SoftwareAssetManagement,
    MSDE,
    A2A,
    Databases,
};

constexpr size_t kComponentCount = 13;

// One object per component, owned by a driver. A slot may be empty where a
// component class is not part of this build.
class Catalogue {
public:
    ORVProduct* Get(Component c) const { return products_[static_cast<size_t>(c)].get(); }
    void Set(Component c, std::unique_ptr<ORVProduct> product) {
        products_[static_cast<size_t>(c)] = std::move(product);
    }

private:
    std::array<std::unique_ptr<ORVProduct>, kComponentCount> products_;
};

// Every component class of the program, each constructed with log.
Catalogue MakeCatalogue(Remove::Log& log);

using ComponentOrder = std::array<Component, kComponentCount>;

extern const ComponentOrder kDialogDetectionOrder;
extern const ComponentOrder kDialogRemovalOrder;
extern const ComponentOrder kSilentDetectionOrder;
extern const ComponentOrder kSilentRemovalOrder;

// The silent switch that selects a component ("/client" for the agent).
const wchar_t* SilentSwitch(Component c);
