#pragma once
// The agent's installation folder as DLP and A2A find it: the install
// location of the "Orvalis Enterprise Client" uninstall entry (that name,
// whichever edition the agent resolved to), else the "Path" of the agent's
// App Paths entry. Each lookup writes its own step line.

#include "log/Log.h"

#include <optional>
#include <string>

std::optional<std::wstring> FindAgentFolder(Remove::Log& log);
