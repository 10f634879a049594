// Test entry point. No test may show a real message box: a box that a test
// did not ask for fails that test and is answered at once.
//
// CTest runs a whole suite in one process, so its time limit cannot name the
// case that hung: a watchdog here does. A case that runs longer than
// kCaseSeconds is named on standard error and the process ends with code 3.

#include "platform/MessageBox.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kCaseSeconds = 300;

class CaseWatchdog : public ::testing::EmptyTestEventListener {
public:
    CaseWatchdog() : started_(CreateEventW(nullptr, FALSE, FALSE, nullptr)), ended_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        InitializeCriticalSection(&lock_);
        CloseHandle(CreateThread(nullptr, 0, &CaseWatchdog::Watch, this, 0, nullptr));
    }

    void OnTestStart(const ::testing::TestInfo& info) override {
        EnterCriticalSection(&lock_);
        name_ = std::string(info.test_suite_name()) + "." + info.name();
        LeaveCriticalSection(&lock_);
        SetEvent(started_);
    }
    void OnTestEnd(const ::testing::TestInfo&) override { SetEvent(ended_); }

private:
    static DWORD WINAPI Watch(void* self) {
        static_cast<CaseWatchdog*>(self)->Run();
        return 0;
    }

    void Run() {
        for (;;) {
            WaitForSingleObject(started_, INFINITE);
            if (WaitForSingleObject(ended_, kCaseSeconds * 1000) == WAIT_OBJECT_0) continue;
            EnterCriticalSection(&lock_);
            std::fprintf(stderr, "\n%s did not finish within %lu seconds: the test program ends\n", name_.c_str(),
                         static_cast<unsigned long>(kCaseSeconds));
            std::fflush(stderr);
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }

    HANDLE started_;
    HANDLE ended_;
    CRITICAL_SECTION lock_;
    std::string name_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    WindowsPlatform::SetMessageBoxHandler([](const std::wstring& text, unsigned, const std::wstring&) {
        ADD_FAILURE() << "unexpected message box: " << ::testing::PrintToString(text);
        return 1;
    });
    // Owned by GoogleTest's listener list from here on.
    ::testing::UnitTest::GetInstance()->listeners().Append(new CaseWatchdog);
    return RUN_ALL_TESTS();
}
