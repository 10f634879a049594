#pragma once
// The client helper's service: runs until it is asked to stop.

#include <windows.h>

namespace LabSetup {

DWORD RunHelperService();

}  // namespace LabSetup
