#include "platform/MessageBox.h"

#include <windows.h>

#include <mutex>
#include <utility>

namespace WindowsPlatform {
namespace {

std::mutex handlerMutex;
MessageBoxHandler currentHandler;

MessageBoxHandler CurrentHandler() {
    std::lock_guard<std::mutex> lock(handlerMutex);
    return currentHandler;
}

}  // namespace

unsigned MessageBoxTypeWithIcon(unsigned type) {
    if ((type & MB_ICONMASK) != 0) return type;
    switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
        return type | MB_ICONEXCLAMATION;
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return type | MB_ICONQUESTION;
    default:
        return type;
    }
}

bool WindowStationVisible() {
    USEROBJECTFLAGS flags{};
    HWINSTA station = GetProcessWindowStation();
    // When the flags cannot be read, boxes are shown as they always were.
    if (station == nullptr || !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof(flags), nullptr))
        return true;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

std::wstring ExecutableBaseName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return L"ORVRemove";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return name;
}

int OwnedMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, unsigned type) {
    if (MessageBoxHandler handler = CurrentHandler()) return handler(text, type, caption);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

int CaptionedMessageBox(const std::wstring& text, const std::wstring& caption, unsigned type) {
    return OwnedMessageBox(nullptr, text, caption, type);
}

int AppMessageBox(const std::wstring& text, unsigned type) {
    return CaptionedMessageBox(text, ExecutableBaseName(), MessageBoxTypeWithIcon(type));
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard<std::mutex> lock(handlerMutex);
    return std::exchange(currentHandler, std::move(handler));
}

}  // namespace WindowsPlatform
