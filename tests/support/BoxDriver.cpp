#include "support/BoxDriver.h"

#include "platform/UniqueHandle.h"

#include <set>

namespace {

struct Search {
    DWORD processId;
    std::vector<HWND> boxes;
};

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

bool IsMessageBox(HWND window) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return false;
    // A box has its text in the static control 0xFFFF and only standard
    // buttons; a dialog template's labels can carry that id too, so also
    // require that the window has no list view.
    return GetDlgItem(window, 0xFFFF) != nullptr && FindWindowExW(window, nullptr, L"SysListView32", nullptr) == nullptr;
}

BOOL CALLBACK CollectBoxes(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsMessageBox(window)) search->boxes.push_back(window);
    return TRUE;
}

void Press(HWND box, int id) {
    if (HWND button = GetDlgItem(box, id)) {
        SendMessageW(button, BM_CLICK, 0, 0);
    } else {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
}

}  // namespace

DrivenRun RunAndAnswerBoxes(const std::wstring& commandLine, const BoxAnswer& answer, DWORD timeoutMs) {
    DrivenRun run;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring mutableLine = commandLine;
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        run.exitCode = GetLastError();
        run.timedOut = true;
        return run;
    }
    WindowsPlatform::UniqueKernelHandle process(info.hProcess);
    WindowsPlatform::UniqueKernelHandle thread(info.hThread);

    std::set<HWND> answered;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (WaitForSingleObject(process.Get(), 50) == WAIT_TIMEOUT) {
        if (GetTickCount64() > deadline) {
            TerminateProcess(process.Get(), 0xDEAD);
            WaitForSingleObject(process.Get(), 5000);
            run.timedOut = true;
            break;
        }
        Search search{info.dwProcessId, {}};
        EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&search));
        for (HWND box : search.boxes) {
            if (answered.count(box) != 0) continue;
            SeenBox seen{WindowText(box), WindowText(GetDlgItem(box, 0xFFFF))};
            run.boxes.push_back(seen);
            answered.insert(box);
            Press(box, answer ? answer(seen) : IDOK);
        }
        // Forget boxes that are gone, so a reused handle counts as new.
        for (auto it = answered.begin(); it != answered.end();)
            it = IsWindow(*it) ? std::next(it) : answered.erase(it);
    }
    GetExitCodeProcess(process.Get(), &run.exitCode);
    return run;
}
