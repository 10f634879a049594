#pragma once
// Commands reach the process runner from the registry (uninstall strings,
// the client helper's service ImagePath, the logging service's own
// uninstall command) and run elevated. Handed to CreateProcessW as they
// stand, a program that names no folder ("MsiExec.exe /X{...}") is looked
// for in ORVRemove's own folder and the current folder before the system
// folders, and an unquoted path with blanks is tried at every blank, so
// "C:\Program Files\X\helper.exe -remove" starts a planted C:\Program.exe.
// This file turns such a command into one that can only start the program
// it names.

#include <string>

// The command as it is to be started:
// - a program that names no folder, quoted or not, becomes the quoted path
//   of that file in the System folder, else in the Windows folder (".exe"
//   added when the name has no extension, as CreateProcessW would); when it
//   is in neither, the System folder's path, which then fails to start;
// - an unquoted program path with blanks: when the text up to the first
//   blank is an existing file, the command stays as it is; otherwise the
//   text up to the end of the first existing ".exe" path (followed by a
//   blank or the end) is quoted; when there is none, the text up to the
//   first ".exe" followed by a blank or the end (else the whole command) is
//   quoted, so that no shorter prefix can be started in its place;
// - every other command (a quoted path with a folder, an unquoted path
//   without blanks) is returned unchanged.
std::wstring CommandToStart(const std::wstring& command);
