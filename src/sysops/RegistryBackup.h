#pragma once
// The registry backup of a run: one .reg file (UTF-16 LE with a byte-order
// mark, the registry editor's format) in a chosen folder, to which every key
// tree is appended just before it is deleted. Importing the file with
// `reg import` or the registry editor restores every key the run deleted,
// with all its values and subkeys, in its place.
//
// Installed as the key tree deletion hook, the backup keeps a key that it
// cannot write down: the key is not deleted and the step fails.

#include "platform/UniqueHandle.h"
#include "sysops/KeyTreeDeletionHook.h"

#include <windows.h>

#include <memory>
#include <string>

class RegistryBackup : public KeyTreeDeletionHook {
public:
    // Creates a new file in the existing folder, named after the time:
    // ORVRemove-registry-20240131-235959.reg, or with "-2", "-3", ... before
    // the extension when that name is taken; writes the mark and the format's
    // header. Throws Windows::Error when no file can be created or written.
    static std::unique_ptr<RegistryBackup> Create(const std::wstring& folder, const SYSTEMTIME& time);

    const std::wstring& Path() const noexcept { return path_; }
    // True once a key tree could not be written to the file.
    bool WriteFailed() const noexcept { return writeFailed_; }

    // Appends the tree of root\path; on failure writes the description and
    // "...error occured while backing up key \"<key>\"" and returns false.
    bool BeforeDeletingKeyTree(HKEY root, const std::wstring& path, Remove::Log& log, RegistryView view) override;

private:
    RegistryBackup(WindowsPlatform::UniqueFileHandle file, std::wstring path)
        : file_(std::move(file)), path_(std::move(path)) {}

    // Writes all of text or, when the disk refuses, cuts the file back to
    // where it ended before, so that it stays a valid file; then throws.
    void Append(const std::wstring& text);

    WindowsPlatform::UniqueFileHandle file_;
    std::wstring path_;
    bool writeFailed_ = false;
};

// The file name for a time and an attempt (1: no number).
std::wstring RegistryBackupFileName(const SYSTEMTIME& time, int attempt);
