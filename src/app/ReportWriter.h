#pragma once
// The run report as a JSON document (docs/report.md) and its file.

#include "app/RunReport.h"

#include <string>

// The report as UTF-8 JSON text, indented, ending with a line end.
std::string ReportJson(const RunReport& report);

// Writes the bytes to path so that a reader never sees half of them: into
// a new temporary file in the same folder, then renamed over path. Missing
// folders are created. Throws Windows::Error when that fails; no temporary
// file is left behind.
void WriteFileWhole(const std::wstring& path, const std::string& bytes);
