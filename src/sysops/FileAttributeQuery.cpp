#include "sysops/FileAttributeQuery.h"

#include <utility>

namespace WindowsPlatform {
namespace {

FileAttributeOverride& CurrentOverride() {
    static FileAttributeOverride change;
    return change;
}

}  // namespace

DWORD QueryFileAttributes(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const FileAttributeOverride& change = CurrentOverride();
    if (!change) return attributes;
    const DWORD error = GetLastError();
    const DWORD reported = change(path, attributes);
    SetLastError(error);
    return reported;
}

ScopedFileAttributeOverride::ScopedFileAttributeOverride(FileAttributeOverride change)
    : previous_(std::exchange(CurrentOverride(), std::move(change))) {}

ScopedFileAttributeOverride::~ScopedFileAttributeOverride() { CurrentOverride() = std::move(previous_); }

}  // namespace WindowsPlatform
