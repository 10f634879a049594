#pragma once
// File paths of the platform library: a path value in UTF-8, its form for
// Windows' wide-character file calls (long paths included), its parent, and
// the deletion of one file or empty folder. Failures are exceptions of the
// FileIOError family carrying the path and the Windows error code.

#include <windows.h>

#include <cstddef>
#include <string>

// A path in UTF-8. Both "\\" and "/" separate its components.
class FileLocation {
public:
    FileLocation() = default;
    explicit FileLocation(std::string utf8Path) : path_(std::move(utf8Path)) {}

    const std::string& Text() const noexcept { return path_; }
    bool Empty() const noexcept { return path_.empty(); }

private:
    std::string path_;
};

// Path length limits of the Windows form: files, and folders created with
// CreateDirectoryW.
inline constexpr std::size_t kFilePathLimit = 259;
inline constexpr std::size_t kFolderPathLimit = 248;

// The path as UTF-16 for the wide file calls. An absolute drive or UNC path
// of at least `limit` characters gets the long-path prefix ("\\\\?\\C:\\..."
// or "\\\\?\\UNC\\server\\share\\...") with every "/" turned into "\\",
// unless it holds "." or ".." segments, which only Windows' own path
// resolution understands. Other paths are converted unchanged. Throws
// InvalidTextEncoding for text that is not UTF-8.
std::wstring WindowsPath(const FileLocation& location, std::size_t limit = kFilePathLimit);

// The location without its last component: "C:\\a" for "C:\\a\\b", "C:" for
// "C:\\a", "\\" for "\\a". Throws RootHasNoParent for a drive or share root,
// EmptyFileLocationError for an empty location and InvalidFileLocation for
// one without a separator.
FileLocation ParentLocation(const FileLocation& location);

// True for a drive root ("C:", "C:\\") or a share root ("\\\\server\\share").
bool IsRootLocation(const FileLocation& location);

// Deletes a file or an empty folder, clearing a read-only attribute first. A
// missing path is not an error. A folder that is a reparse point goes with
// DeleteFileW.
void DeleteLocation(const FileLocation& location);
