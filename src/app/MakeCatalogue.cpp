#include "app/Catalogue.h"

#include "products/ClientProduct.h"
#include "products/DatabaseProduct.h"
#include "products/RelayProduct.h"
#include "products/ServerProduct.h"

Catalogue MakeCatalogue(Remove::Log& log) {
    Catalogue catalogue;
    catalogue.Set(Component::Agent, std::make_unique<ClientProduct>(log));
    catalogue.Set(Component::Server, std::make_unique<ServerProduct>(log));
    catalogue.Set(Component::Relay, std::make_unique<RelayProduct>(log));
    catalogue.Set(Component::Databases, std::make_unique<DatabaseProduct>(log));
    return catalogue;
}
