#pragma once
// Folder paths reach the deletion from the registry (install locations, App
// Paths entries, web roots), so a corrupted or hostile value must never make
// the program wipe a drive or a folder that Windows itself owns. This file
// resolves folder paths the way Windows does and decides which folders the
// deletion refuses.

#include <optional>
#include <string>

// The full path Windows makes of path (GetFullPathNameW): "." and ".."
// resolved, "/" turned into "\\", repeated separators folded, relative paths
// made absolute. A path that already carries the long-path prefix is
// returned unchanged. Throws Windows::Error when Windows cannot resolve it.
std::wstring FullFolderPath(const std::wstring& path);

// Whether path names its folder without help from the current drive or
// folder: "C:\\x", "\\\\server\\share\\x" or either with a device prefix.
bool IsFullPath(const std::wstring& path);

// The long-path form of a full path: "\\\\?\\C:\\x" for a drive path,
// "\\\\?\\UNC\\server\\share\\x" for a UNC path; a path that already has a
// "\\\\?\\" or "\\\\.\\" prefix is returned unchanged.
std::wstring LongPathForm(const std::wstring& fullPath);

// The form the security functions take: the long-path prefix taken off,
// "\\\\?\\UNC\\server\\share\\x" given back as "\\\\server\\share\\x".
std::wstring WithoutLongPathPrefix(const std::wstring& path);

// Why the folder must not be deleted, or absent when it may be. Refused are
// drive roots, share roots, the Windows folder and everything below it, the
// system folders, both Program Files folders and their Common Files,
// ProgramData, the Users folder and every profile folder in it, every
// profile that ProfileList names wherever it lies, the current user's
// Documents, Desktop, AppData and Local AppData folders, the temporary
// folder, IIS's web folders (%SystemDrive%\inetpub, its standard subfolders
// and the web root IIS's setup names), and every folder that holds one of
// these; a folder below them may go. Inside the Windows folder only the
// folders below the data folders of the system and service profiles may go
// (see ServiceProfileDataFolders), not those below the Microsoft folders in
// them or the profiles' temporary folders.
// Paths are compared after resolving "." and "..", separators, letter case,
// short names, the long-path prefix and this machine's administrative
// shares ("\\\\localhost\\C$\\x" is "C:\\x", as are the same paths through
// the machine's names and IP addresses). A path that cannot be resolved is
// refused, and so is an existing folder whose final path (through junctions
// and links above it) cannot be read.
std::optional<std::wstring> FolderDeletionRefusal(const std::wstring& path);
