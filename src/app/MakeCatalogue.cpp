#include "app/Catalogue.h"

Catalogue MakeCatalogue(Remove::Log&) {
    Catalogue catalogue;
    return catalogue;
}
