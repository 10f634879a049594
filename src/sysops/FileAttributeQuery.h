#pragma once
// The attribute query of the file removal. Tests replace what it reports for
// chosen paths: Wine cannot make junctions or file links, and a Unix link in
// test data would let a deletion reach its target, so the reparse-point rule
// is exercised by marking plain folders and files as reparse points here.

#include <windows.h>

#include <functional>
#include <string>

namespace WindowsPlatform {

// GetFileAttributesW(path), passed through the test override when one is
// installed. INVALID_FILE_ATTRIBUTES when the path cannot be queried; the
// last error is that of the real call.
DWORD QueryFileAttributes(const std::wstring& path);

// Receives the path and the real attributes; returns the attributes to report.
using FileAttributeOverride = std::function<DWORD(const std::wstring& path, DWORD attributes)>;

// Installs the override for the life of the object (tests only).
class ScopedFileAttributeOverride {
public:
    explicit ScopedFileAttributeOverride(FileAttributeOverride change);
    ~ScopedFileAttributeOverride();
    ScopedFileAttributeOverride(const ScopedFileAttributeOverride&) = delete;
    ScopedFileAttributeOverride& operator=(const ScopedFileAttributeOverride&) = delete;

private:
    FileAttributeOverride previous_;
};

}  // namespace WindowsPlatform
