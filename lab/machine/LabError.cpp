#include "LabError.h"

#include "LabText.h"

namespace Lab {

Error::Error(const std::wstring& text) : std::runtime_error(ToUtf8(text)), text_(text) {}

void ThrowIfFailed(LONG status, const wchar_t* call, const std::wstring& target) {
    if (status != ERROR_SUCCESS) {
        throw Error(std::wstring(call) + L" " + target + L": " + std::to_wstring(status));
    }
}

void ThrowLastError(const wchar_t* call, const std::wstring& target) {
    const DWORD error = GetLastError();
    ThrowIfFailed(static_cast<LONG>(error ? error : ERROR_GEN_FAILURE), call, target);
    throw Error(L"unreachable");
}

}  // namespace Lab
