#pragma once
// Waits for a process and every process it started, found by their parent
// process ids, for where no job can hold them: the runner's own job forbids
// breakaway and jobs do not nest (Windows 7). Children are looked for ten
// times a second, so a child that starts and ends, together with its parent,
// between two looks is not seen; every process seen is held open, so its id
// cannot be reused while the wait runs.

#include <windows.h>

enum class TreeWait { Ended, TimedOut, Failed };

// deadline: a GetTickCount64 value, or 0 for no limit. At the deadline every
// process of the tree that still runs is ended with exitCode (TimedOut).
// Failed when no process list can be taken.
TreeWait WaitForProcessTree(HANDLE process, ULONGLONG deadline, UINT exitCode);
