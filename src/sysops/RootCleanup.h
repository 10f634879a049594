#pragma once
// Removes the suite's shared root folders and keys once no component is
// left: the per-user data folder, the common program folder, the machine
// keys and the key in every loaded user hive, then the data folder and the
// key of every other profile (sysops/ProfilePasses.h). Never throws; failures
// show in the log only.

#include "log/Log.h"

void RemoveRootFoldersAndKeys(Remove::Log& log);
