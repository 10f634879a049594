#include "sysops/KeyTreeDeletionHook.h"

#include <utility>

namespace {
KeyTreeDeletionHook* installedHook = nullptr;
}  // namespace

ScopedKeyTreeDeletionHook::ScopedKeyTreeDeletionHook(KeyTreeDeletionHook* hook)
    : previous_(std::exchange(installedHook, hook)) {}

ScopedKeyTreeDeletionHook::~ScopedKeyTreeDeletionHook() { installedHook = previous_; }

bool CallKeyTreeDeletionHook(HKEY root, const std::wstring& path, Remove::Log& log, RegistryView view) {
    return installedHook == nullptr || installedHook->BeforeDeletingKeyTree(root, path, log, view);
}
