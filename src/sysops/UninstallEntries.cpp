#include "sysops/UninstallEntries.h"

#include "sysops/Registry.h"

#include <vector>

const wchar_t kUninstallKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

namespace {

std::vector<std::wstring> FindEntries(const std::wstring& name) {
    return FindSubkeysByValue(HKEY_LOCAL_MACHINE, kUninstallKeyPath, L"DisplayName", name);
}

// The value of the first entry with that DisplayName that yields a text,
// in registry enumeration order.
std::optional<std::wstring> FirstEntryValue(const std::wstring& name, const wchar_t* valueName) {
    for (const std::wstring& key : FindEntries(name)) {
        auto text = ReadOptionalStringValue(HKEY_LOCAL_MACHINE, kUninstallKeyPath + (L"\\" + key), valueName);
        if (text) return text;
    }
    return std::nullopt;
}

void WriteFoundPath(const std::optional<std::wstring>& path, Remove::Log& log) {
    if (path) log.Write(L"found path \"" + *path + L"\"");
    else log.Write(L"not found");
    log.EndLine();
}

void WriteFoundCommand(const std::optional<std::wstring>& command, Remove::Log& log) {
    if (command) {
        log.EndLine();
        log.Write(L"...found command " + *command);
    } else {
        log.Write(L"not found");
    }
    log.EndLine();
}

}  // namespace

bool FindUninstallEntry(const std::wstring& name, Remove::Log& log) {
    log.Write(L"Looking for product \"" + name + L"\" in \"" + kUninstallKeyPath + L"\"...");
    const std::vector<std::wstring> keys = FindEntries(name);
    if (keys.empty()) log.Write(L"not found");
    for (const std::wstring& key : keys) {
        log.EndLine();
        log.Write(L"...found key \"" + key + L"\"");
    }
    log.EndLine();
    return !keys.empty();
}

std::optional<std::wstring> GetInstallLocation(const std::wstring& name, Remove::Log& log) {
    log.Write(L"Looking for the install location of \"" + name + L"\" in \"HKLM\\" + kUninstallKeyPath + L"\"...");
    auto location = FirstEntryValue(name, L"InstallLocation");
    WriteFoundPath(location, log);
    return location;
}

std::optional<std::wstring> GetInstallLocationFromKey(HKEY root, const std::wstring& keyPath,
                                                      const wchar_t* valueName, Remove::Log& log) {
    log.Write(L"Looking for the install location in \"" + KeyDisplayName(root, keyPath) + L":[" + valueName +
              L"]\"...");
    auto location = ReadOptionalStringValue(root, keyPath, valueName);
    WriteFoundPath(location, log);
    return location;
}

std::optional<std::wstring> GetUninstallString(const std::wstring& name, Remove::Log& log) {
    log.Write(L"Looking for an uninstall string for \"" + name + L"\"...");
    auto command = FirstEntryValue(name, L"UninstallString");
    WriteFoundCommand(command, log);
    return command;
}

std::optional<std::wstring> GetUninstallStringFromKey(HKEY root, const std::wstring& keyPath,
                                                      const wchar_t* valueName, const std::wstring& name,
                                                      Remove::Log& log) {
    log.Write(L"Looking for an uninstall string for \"" + name + L"\" in key \"" + KeyDisplayName(root, keyPath) +
              L":[" + valueName + L"]\"...");
    auto command = ReadOptionalStringValue(root, keyPath, valueName);
    WriteFoundCommand(command, log);
    return command;
}

std::optional<std::wstring> GetDisplayVersion(const std::wstring& name, Remove::Log& log) {
    log.Write(L"Looking for the display version of \"" + name + L"\" in \"HKLM\\" + kUninstallKeyPath + L"\"...");
    auto version = FirstEntryValue(name, L"DisplayVersion");
    if (version) log.Write(L"found version " + *version);
    else log.Write(L"not found");
    log.EndLine();
    return version;
}

bool RemoveUninstallEntries(const std::wstring& name, Remove::Log& log) {
    bool allDeleted = true;
    for (const std::wstring& key : FindEntries(name)) {
        if (!DeleteRegistryKey(HKEY_LOCAL_MACHINE, kUninstallKeyPath + (L"\\" + key), log)) allDeleted = false;
    }
    return allDeleted;
}
