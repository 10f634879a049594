#pragma once
// A hook that sees every key tree just before DeleteRegistryKey deletes it,
// for the registry backup of unattended runs. There is at most one hook per
// process; without one, deletion goes ahead unchanged.

#include "log/Log.h"
#include "sysops/Registry.h"

#include <windows.h>

#include <string>

class KeyTreeDeletionHook {
public:
    virtual ~KeyTreeDeletionHook() = default;

    // Called while the deletion's step line is open. Returns false to keep
    // the key; the hook has then written its reason and ended the line.
    virtual bool BeforeDeletingKeyTree(HKEY root, const std::wstring& path, Remove::Log& log,
                                       RegistryView view) = 0;
};

// Installs hook for the life of the object and restores the one before.
class ScopedKeyTreeDeletionHook {
public:
    explicit ScopedKeyTreeDeletionHook(KeyTreeDeletionHook* hook);
    ~ScopedKeyTreeDeletionHook();
    ScopedKeyTreeDeletionHook(const ScopedKeyTreeDeletionHook&) = delete;
    ScopedKeyTreeDeletionHook& operator=(const ScopedKeyTreeDeletionHook&) = delete;

private:
    KeyTreeDeletionHook* previous_;
};

// True when no hook is installed or the hook lets the deletion go ahead.
bool CallKeyTreeDeletionHook(HKEY root, const std::wstring& path, Remove::Log& log, RegistryView view);
