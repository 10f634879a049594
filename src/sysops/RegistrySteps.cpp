// The logged registry steps: existence checks, key tree and value deletion,
// and the access recovery that lets an administrator delete a key that
// refuses it.

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "sysops/ActionPlan.h"
#include "sysops/AccessRecovery.h"
#include "sysops/KeyTreeDeletionHook.h"
#include "sysops/Registry.h"
#include "sysops/RegistryExport.h"

using WindowsPlatform::InjectedFault;
using WindowsPlatform::UniqueRegistryKey;

namespace {

// Ends an open step line with the exception in flight; for failures that
// cannot come from the registry itself (memory).
bool WriteUnexpectedFailure(Remove::Log& log) {
    log.WriteCurrentException();
    log.EndLine();
    return false;
}

// Writes the description, a line break and "...error occured while <what>
// \"<key>\"" on its own line; call only inside a catch handler.
bool WriteTreeError(Remove::Log& log, const wchar_t* what, HKEY root, const std::wstring& path) {
    log.WriteCurrentException();
    log.EndLine();
    log.Write(std::wstring(L"...error occured while ") + what + L" \"" + KeyDisplayName(root, path) + L"\"");
    log.EndLine();
    return false;
}

bool OpensForReading(HKEY root, const std::wstring& path, RegistryView view) {
    UniqueRegistryKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | ViewFlag(view), key.Put()) == ERROR_SUCCESS;
}

bool DeleteSubkeys(HKEY root, const std::wstring& path, Remove::Log& log, RegistryView view) {
    const UniqueRegistryKey key = OpenRegistryKey(root, path, KEY_READ, view);
    SubkeyInfo info;
    // Always index 0: each pass deletes the subkey it found.
    while (EnumerateSubkey(key.Get(), 0, info)) {
        if (!DeleteRegistryKeyTree(root, path + L"\\" + info.name, log, view)) return false;
    }
    return true;
}

}  // namespace

bool RegistryKeyExists(HKEY root, const std::wstring& path, Remove::Log& log, RegistryView view) {
    try {
        log.Write(L"Checking for registry key \"" + KeyDisplayName(root, path) + L"\"...");
        const bool found = OpensForReading(root, path, view);
        log.Write(found ? L"found" : L"not found");
        log.EndLine();
        return found;
    } catch (...) {
        return WriteUnexpectedFailure(log);
    }
}

bool RegistryValueExists(HKEY root, const std::wstring& path, const wchar_t* valueName, Remove::Log& log) {
    try {
        log.Write(L"Checking for registry key value \"");
        log.Write(KeyDisplayName(root, path) + L":[" + valueName);
        log.Write(L"]\"...");
        bool found = false;
        UniqueRegistryKey key;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS) {
            const LONG status = RegQueryValueExW(key.Get(), valueName, nullptr, nullptr, nullptr, nullptr);
            found = status == ERROR_SUCCESS || status == ERROR_MORE_DATA;
        }
        log.Write(found ? L"found" : L"not found");
        log.EndLine();
        return found;
    } catch (...) {
        return WriteUnexpectedFailure(log);
    }
}

bool DeleteRegistryKey(HKEY root, const std::wstring& path, Remove::Log& log, RegistryView view) {
    try {
        Remove::Log silent;
        if (!RegistryKeyExists(root, path, silent, view)) return true;
        PlannedAction action{ActionKind::RegistryKey, Planning() ? KeyPlaceName(root, path, view) : std::wstring()};
        action.root = root;
        action.path = path;
        action.view = view;
        if (!ActOrDescribe(action, log)) return true;
        log.Write(L"Deleting registry key \"" + KeyDisplayName(root, path) + L"\"...");
        if (!CallKeyTreeDeletionHook(root, path, log, view)) return false;
        const bool deleted = DeleteRegistryKeyTree(root, path, log, view);
        if (deleted) {
            log.Write(L"done");
            log.EndLine();
        }
        return deleted;
    } catch (...) {
        return WriteUnexpectedFailure(log);
    }
}

bool DeleteRegistryValue(HKEY root, const std::wstring& path, const std::wstring& valueName, Remove::Log& log,
                         RegistryView view) {
    try {
        {
            UniqueRegistryKey key;
            if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | ViewFlag(view), key.Put()) != ERROR_SUCCESS)
                return true;
            const LONG status = RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, nullptr, nullptr, nullptr);
            if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return true;
        }
        PlannedAction action{ActionKind::RegistryValue,
                             Planning() ? KeyPlaceName(root, path, view) + L":[" + valueName + L"]" : std::wstring()};
        action.root = root;
        action.path = path;
        action.valueName = valueName;
        action.view = view;
        if (!ActOrDescribe(action, log)) return true;
        log.Write(L"Deleting registry value \"" + KeyDisplayName(root, path) + L":[" + valueName + L"]\"...");
        try {
            const UniqueRegistryKey key = OpenRegistryKey(root, path, KEY_SET_VALUE, view);
            LONG status = static_cast<LONG>(InjectedFault("RegDeleteValueW"));
            if (status == ERROR_SUCCESS) status = RegDeleteValueW(key.Get(), valueName.c_str());
            if (status != ERROR_FILE_NOT_FOUND) ThrowIfError(status);
        } catch (...) {
            log.WriteCurrentException();
            log.EndLine();
            return false;
        }
        log.Write(L"done");
        log.EndLine();
        return true;
    } catch (...) {
        return WriteUnexpectedFailure(log);
    }
}

bool DeleteRegistryKeyTree(HKEY root, const std::wstring& path, Remove::Log& log, RegistryView view) {
    if (!GrantRegistryKeyAccess(root, path, log, view)) return false;
    try {
        if (!DeleteSubkeys(root, path, log, view)) return false;
    } catch (...) {
        return WriteTreeError(log, L"enumerating subkeys of", root, path);
    }
    try {
        LONG status = static_cast<LONG>(InjectedFault("RegDeleteKeyExW"));
        if (status == ERROR_SUCCESS) status = RegDeleteKeyExW(root, path.c_str(), ViewFlag(view), 0);
        ThrowIfError(status);
        return true;
    } catch (...) {
        return WriteTreeError(log, L"trying to delete key", root, path);
    }
}

bool GrantRegistryKeyAccess(HKEY root, const std::wstring& path, Remove::Log& log, RegistryView view) {
    try {
        {
            UniqueRegistryKey key;
            LONG status = static_cast<LONG>(InjectedFault("RegOpenKeyExW/DELETE"));
            if (status == ERROR_SUCCESS) status = RegOpenKeyExW(root, path.c_str(), 0, DELETE | ViewFlag(view), key.Put());
            if (status == ERROR_SUCCESS) return true;
        }
        SetObjectSecurity(SecurityObjectName(root) + L"\\" + path, RegistryKeyObjectType(view), log);
        return true;
    } catch (...) {
        // The context follows the description on the same line.
        log.WriteCurrentException();
        log.Write(L"...error occured while granting access to key \"" + KeyDisplayName(root, path) + L"\"");
        log.EndLine();
        return false;
    }
}
