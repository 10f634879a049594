#include "sysops/RootCleanup.h"

void RemoveRootFoldersAndKeys(Remove::Log&) {}
