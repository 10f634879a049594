#pragma once
// Another program holds a file open without delete sharing, as a running
// program or a shell extension holds a file of the suite, until the object
// ends. The lab's stand-in uninstaller does the holding.

#include "support/LabPaths.h"

#include "platform/UniqueHandle.h"

#include <windows.h>

#include <string>

class HeldFile {
public:
    explicit HeldFile(const std::wstring& path) {
        const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
        const std::wstring readyName = L"ORVHoldReady" + tag, doneName = L"ORVHoldDone" + tag;
        ready_.Reset(CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
        done_.Reset(CreateEventW(nullptr, TRUE, FALSE, doneName.c_str()));
        std::wstring command = L"\"" + LabProgram(L"standinuninstaller.exe") + L"\" --hold \"" + path + L"\" " +
                               readyName + L" " + doneName;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION holder{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &holder))
            return;
        process_.Reset(holder.hProcess);
        WindowsPlatform::UniqueKernelHandle thread(holder.hThread);
        // The holder has the file open once it signals.
        holding_ = WaitForSingleObject(ready_.Get(), 30000) == WAIT_OBJECT_0;
    }
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    bool Holding() const { return holding_; }
    // Lets the holder close the file and end, waiting for it with a deadline.
    void Release() {
        if (!process_) return;
        SetEvent(done_.Get());
        WaitForSingleObject(process_.Get(), 30000);
        process_.Reset();
    }

private:
    WindowsPlatform::UniqueKernelHandle ready_, done_, process_;
    bool holding_ = false;
};
