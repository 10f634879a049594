#include "sysops/RestartNeed.h"

#include <windows.h>

namespace {

// Set from the thread that runs the components, read after it has ended.
volatile LONG restartNeeded = 0;

}  // namespace

void NoteRestartNeeded() { InterlockedExchange(&restartNeeded, 1); }

bool RestartNeeded() { return InterlockedCompareExchange(&restartNeeded, 0, 0) != 0; }

void ForgetRestartNeed() { InterlockedExchange(&restartNeeded, 0); }
