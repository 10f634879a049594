#include "platform/TemporaryFile.h"

#include "platform/Errors.h"
#include "platform/FileErrorMap.h"
#include "platform/Text.h"

#include <windows.h>

namespace {

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') && !IsRootLocation(FileLocation(path)))
        path.pop_back();
    return path;
}

// Creates the folder and every missing folder above it.
void MakeFolder(const FileLocation& folder) {
    const DWORD attributes = GetFileAttributesW(WindowsPath(folder).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) throw FileFoundError(0, folder.Text());
        return;
    }
    if (!IsRootLocation(folder)) MakeFolder(ParentLocation(folder));
    if (!CreateDirectoryW(WindowsPath(folder, kFolderPathLimit).c_str(), nullptr))
        ThrowFileError(FileErrorMap::Item, GetLastError(), folder);
}

}  // namespace

TemporaryFile::TemporaryFile(const std::string& prefix) {
    wchar_t folder[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    ThrowLastErrorIfFalse(length != 0 && length < MAX_PATH);
    const std::wstring folderPath(folder, length);
    MakeFolder(FileLocation(WithoutTrailingSeparators(TranscodeU16ToU8(folderPath))));
    wchar_t name[MAX_PATH];
    ThrowLastErrorIfFalse(GetTempFileNameW(folderPath.c_str(), TranscodeU8ToU16(prefix).c_str(), 0, name));
    auto owner = std::make_shared<Owner>();
    owner->location = FileLocation(TranscodeU16ToU8(name));
    owner_ = std::move(owner);
}

TemporaryFile::Owner::~Owner() {
    try {
        DeleteLocation(location);
    } catch (...) {
    }
}
