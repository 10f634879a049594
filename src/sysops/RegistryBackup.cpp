#include "sysops/RegistryBackup.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "sysops/Registry.h"
#include "sysops/RegistryExport.h"

#include <cwchar>

using WindowsPlatform::UniqueFileHandle;

namespace {

// Enough attempts for any number of runs started within one second.
constexpr int kNameAttempts = 1000;

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

bool RegistryBackup::BeforeDeletingKeyTree(HKEY root, const std::wstring& path, Remove::Log& log,
                                           RegistryView view) {
    try {
        // The comment names the key as this program saw it.
        Append(L"; " + KeyDisplayName(root, path) + L"\r\n" + ExportKeyTree(root, path, view));
        return true;
    } catch (...) {
        log.WriteCurrentException();
        log.EndLine();
        log.Write(L"...error occured while backing up key \"" + KeyDisplayName(root, path) + L"\"");
        log.EndLine();
        return false;
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
