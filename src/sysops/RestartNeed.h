#pragma once
// Whether Windows must be restarted to finish what this process removed:
// something was scheduled for deletion at the next restart, an uninstaller
// ended with 3010 or 1641, or a check met a file or folder that is only
// waiting for the restart to go. Once noted it stays noted for the life of
// the process; silent mode turns it into exit code 3010, the dialog into a
// line of its summary.

void NoteRestartNeeded();
bool RestartNeeded();
// Forgets the note (tests only).
void ForgetRestartNeed();
