#include "products/ResponseFile.h"

#include "platform/Errors.h"
#include "sysops/ActionPlan.h"

#include <windows.h>

namespace {

std::wstring PlannedPath() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) ThrowLastError();
    return std::wstring(folder, length) + std::wstring(kTemporaryFilePrefix, kTemporaryFilePrefix + 3) + L"XXXX.tmp";
}

}  // namespace

ResponseFile::ResponseFile() {
    if (Planning()) {
        path_ = PlannedPath();
        return;
    }
    file_.emplace(kTemporaryFilePrefix);
    path_ = WindowsPath(file_->Location());
}
