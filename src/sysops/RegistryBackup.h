#pragma once
// The registry backup of a run: one .reg file (UTF-16 LE with a byte-order
// mark, the registry editor's format) in a chosen folder, to which key trees
// and single values are appended before they can go: the keys and values a
// component's removal would delete before its uninstaller runs, and every key
// tree just before this program deletes it. A key is written once: a key
// that lies in a tree written already is not written again, so the file holds
// each key as it was when first written. Importing the file with `reg import`
// or the registry editor restores every key and value written, in its place.
//
// Installed as the key tree deletion hook, the backup keeps a key that it
// cannot write down: the key is not deleted and the step fails.

#include "platform/UniqueHandle.h"
#include "sysops/KeyTreeDeletionHook.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

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

    // Appends the tree of root\path unless it is written already; on failure
    // writes the description and "...error occured while backing up key
    // \"<key>\"" and returns false. A missing key is nothing to write: true.
    bool BackUpKey(HKEY root, const std::wstring& path, RegistryView view, Remove::Log& log);
    // Appends one value of root\path unless it or its key is written already;
    // fails as BackUpKey does, with "...error occured while backing up value".
    bool BackUpValue(HKEY root, const std::wstring& path, const std::wstring& valueName, RegistryView view,
                     Remove::Log& log);

    bool BeforeDeletingKeyTree(HKEY root, const std::wstring& path, Remove::Log& log, RegistryView view) override {
        return BackUpKey(root, path, view, log);
    }

private:
    RegistryBackup(WindowsPlatform::UniqueFileHandle file, std::wstring path)
        : file_(std::move(file)), path_(std::move(path)) {}

    // Writes all of text or, when the disk refuses, cuts the file back to
    // where it ended before, so that it stays a valid file; then throws.
    void Append(const std::wstring& text);

    // True when the key (a registry editor name) lies in a written tree.
    bool Written(const std::wstring& keyName) const;

    WindowsPlatform::UniqueFileHandle file_;
    std::wstring path_;
    bool writeFailed_ = false;
    std::vector<std::wstring> writtenKeys_;
    std::vector<std::wstring> writtenValues_;  // key name, ":[", value name, "]"
};

// The file name for a time and an attempt (1: no number).
std::wstring RegistryBackupFileName(const SYSTEMTIME& time, int attempt);
