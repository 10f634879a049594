#pragma once
// File versions from the fixed part of a file's version resource, as four
// decimal numbers joined by "." (for example 9.5.3.211).

#include "log/Log.h"

#include <optional>
#include <string>

// The file version of the file at path. Throws Windows::Error when the file
// has no version resource or cannot be read.
std::wstring GetFileVersionString(const std::wstring& path);

// "Trying to read the version of file \"path\"..." then "file has version "
// and the version, "file not found", or "file exists, but failed to read
// version: " and the error's description. Absent unless a version was read.
std::optional<std::wstring> ReadFileVersion(const std::wstring& path, Remove::Log& log);
