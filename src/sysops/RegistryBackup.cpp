#include "sysops/RegistryBackup.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "sysops/Registry.h"
#include "sysops/RegistryExport.h"

#include <cwchar>

using WindowsPlatform::UniqueFileHandle;
using WindowsPlatform::UniqueRegistryKey;

namespace {

// Enough attempts for any number of runs started within one second.
constexpr int kNameAttempts = 1000;

bool WriteBackupError(Remove::Log& log, const wchar_t* what, const std::wstring& name) {
    log.WriteCurrentException();
    log.EndLine();
    log.Write(std::wstring(L"...error occured while backing up ") + what + L" \"" + name + L"\"");
    log.EndLine();
    return false;
}

bool SameNoCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool ContainsNoCase(const std::vector<std::wstring>& list, const std::wstring& text) {
    for (const std::wstring& entry : list)
        if (SameNoCase(entry, text)) return true;
    return false;
}

// True when key is parent or lies below it.
bool PathWithin(const std::wstring& key, const std::wstring& parent) {
    return key.size() >= parent.size() && SameNoCase(key.substr(0, parent.size()), parent) &&
           (key.size() == parent.size() || key[parent.size()] == L'\\');
}

}  // namespace

std::wstring RegistryBackupFileName(const SYSTEMTIME& time, int attempt) {
    wchar_t name[80];
    swprintf(name, 80, L"ORVRemove-registry-%04u%02u%02u-%02u%02u%02u", time.wYear, time.wMonth, time.wDay,
             time.wHour, time.wMinute, time.wSecond);
    std::wstring fileName = name;
    if (attempt > 1) fileName += L"-" + std::to_wstring(attempt);
    return fileName + L".reg";
}

std::unique_ptr<RegistryBackup> RegistryBackup::Create(const std::wstring& folder, const SYSTEMTIME& time) {
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
    for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
        const std::wstring path = base + RegistryBackupFileName(time, attempt);
        UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = file ? ERROR_SUCCESS : GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
        ThrowIfError(error);
        std::unique_ptr<RegistryBackup> backup(new RegistryBackup(std::move(file), path));
        try {
            backup->Append(std::wstring(1, L'\xFEFF') + kRegFileHeader);
        } catch (...) {
            // No half-made file is left behind to be mistaken for a backup.
            backup.reset();
            DeleteFileW(path.c_str());
            throw;
        }
        return backup;
    }
    throw Windows::Error(ERROR_FILE_EXISTS);
}

bool RegistryBackup::Written(const std::wstring& keyName) const {
    for (const std::wstring& written : writtenKeys_)
        if (PathWithin(keyName, written)) return true;
    return false;
}

bool RegistryBackup::BackUpKey(HKEY root, const std::wstring& path, RegistryView view, Remove::Log& log) {
    try {
        UniqueRegistryKey key;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | ViewFlag(view), key.Put()) == ERROR_FILE_NOT_FOUND)
            return true;
        const std::wstring name = RegFileKeyName(OpenRegistryKey(root, path, KEY_READ, view).Get());
        if (Written(name)) return true;
        // The comment names the key as this program saw it.
        Append(L"; " + KeyDisplayName(root, path) + L"\r\n" + ExportKeyTree(root, path, view));
        writtenKeys_.push_back(name);
        return true;
    } catch (...) {
        return WriteBackupError(log, L"key", KeyDisplayName(root, path));
    }
}

bool RegistryBackup::BackUpValue(HKEY root, const std::wstring& path, const std::wstring& valueName,
                                 RegistryView view, Remove::Log& log) {
    const std::wstring shownName = KeyDisplayName(root, path) + L":[" + valueName + L"]";
    try {
        UniqueRegistryKey key;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | ViewFlag(view), key.Put()) == ERROR_FILE_NOT_FOUND)
            return true;
        const UniqueRegistryKey opened = OpenRegistryKey(root, path, KEY_READ, view);
        const std::wstring keyName = RegFileKeyName(opened.Get());
        const std::wstring valueId = keyName + L":[" + valueName + L"]";
        if (Written(keyName) || ContainsNoCase(writtenValues_, valueId)) return true;
        const std::optional<std::wstring> lines = RegFileValueOf(opened.Get(), valueName);
        if (!lines) return true;
        Append(L"; " + shownName + L"\r\n[" + keyName + L"]\r\n" + *lines + L"\r\n");
        writtenValues_.push_back(valueId);
        return true;
    } catch (...) {
        return WriteBackupError(log, L"value", shownName);
    }
}

void RegistryBackup::Append(const std::wstring& text) {
    LARGE_INTEGER zero{};
    LARGE_INTEGER end{};
    if (!SetFilePointerEx(file_.Get(), zero, &end, FILE_CURRENT)) ThrowLastError();
    const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
    const size_t size = text.size() * sizeof(wchar_t);
    size_t done = 0;
    while (done < size) {
        DWORD written = 0;
        DWORD error = WindowsPlatform::InjectedFault("WriteFile/registry backup");
        if (error == ERROR_SUCCESS &&
            !WriteFile(file_.Get(), bytes + done, static_cast<DWORD>(size - done), &written, nullptr)) {
            error = GetLastError();
        }
        if (error == ERROR_SUCCESS && written == 0) error = ERROR_WRITE_FAULT;
        if (error != ERROR_SUCCESS) {
            writeFailed_ = true;
            SetFilePointerEx(file_.Get(), end, nullptr, FILE_BEGIN);
            SetEndOfFile(file_.Get());
            throw Windows::Error(error);
        }
        done += written;
    }
}
