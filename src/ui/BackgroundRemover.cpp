#include "ui/BackgroundRemover.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"

#include <process.h>

#include <cerrno>
#include <exception>
#include <utility>

namespace WindowsPlatform {

namespace {

unsigned __stdcall ThreadProcedure(void* argument) {
    try {
        static_cast<Callable*>(argument)->Run();
    } catch (...) {
        // The work of a thread catches its own failures; one that escapes
        // leaves nothing sound to go on with, and may not cross into
        // Windows' frames.
        std::terminate();
    }
    return 0;
}

}  // namespace

HANDLE StartThread(Callable& callable) {
    if (const DWORD fault = InjectedFault("_beginthreadex")) throw ThreadError(static_cast<std::int32_t>(fault));
    const uintptr_t thread = _beginthreadex(nullptr, 0, ThreadProcedure, &callable, 0, nullptr);
    if (thread == 0) throw ThreadError(errno);
    return reinterpret_cast<HANDLE>(thread);
}

void JoinThread(HANDLE thread) {
    if (!thread) return;
    if (WaitForSingleObject(thread, INFINITE) == WAIT_FAILED) {
        const DWORD error = GetLastError();
        CloseHandle(thread);
        throw Windows::Error(error);
    }
    if (!CloseHandle(thread)) ThrowLastError();
}

}  // namespace WindowsPlatform

namespace {

constexpr UINT_PTR kFlushTimer = 1;
constexpr UINT kFlushInterval = 100;  // ms

}  // namespace

BackgroundRemover::~BackgroundRemover() {
    try {
        WindowsPlatform::JoinThread(std::exchange(thread_, nullptr));
    } catch (...) {
        // Nothing sound to do about a failed wait while going away.
    }
}

void BackgroundRemover::StartDetection(const std::vector<ORVProduct*>& products) { Start(Mode::detection, products); }

void BackgroundRemover::StartRemoval(const std::vector<ORVProduct*>& products) { Start(Mode::removal, products); }

void BackgroundRemover::Start(Mode mode, const std::vector<ORVProduct*>& products) {
    // The fields below belong to the worker while it runs: a pass still
    // running ends before they change.
    WindowsPlatform::JoinThread(std::exchange(thread_, nullptr));
    (mode == Mode::detection ? products_ : removed_) = products;
    mode_ = mode;
    timerId_ = SetTimer(hwnd_, kFlushTimer, kFlushInterval, nullptr);
    try {
        thread_ = WindowsPlatform::StartThread(*this);
    } catch (...) {
        if (timerId_ != 0) KillTimer(hwnd_, timerId_);
        timerId_ = 0;
        throw;
    }
}

void BackgroundRemover::Stop() {
    if (timerId_ != 0) KillTimer(hwnd_, timerId_);
    timerId_ = 0;
    WindowsPlatform::JoinThread(std::exchange(thread_, nullptr));
}

void BackgroundRemover::EraseUninstalled() {
    std::vector<ORVProduct*> kept;
    for (ORVProduct* product : products_)
        if (product->installed) kept.push_back(product);
    products_.swap(kept);
}

void BackgroundRemover::Run() {
    allSucceeded_ = true;
    if (mode_ == Mode::detection) {
        Detect();
        PostMessageW(hwnd_, WM_DETECTION_FINISHED, 0, 0);
    } else {
        RemoveAll();
        PostMessageW(hwnd_, WM_REMOVAL_FINISHED, 0, 0);
    }
}

void BackgroundRemover::Detect() {
    try {
        for (ORVProduct* product : products_) product->Detect();
    } catch (...) {
        WriteUnhandledException(L"Unhandled exception during product detection: ");
    }
    // After a failure too: the components that were not reached keep what
    // their last detection found.
    EraseUninstalled();
}

void BackgroundRemover::RemoveAll() {
    std::vector<ORVProduct*> gone;
    try {
        for (ORVProduct* product : removed_) {
            if (!product->Remove()) {
                allSucceeded_ = false;
                WriteFailedRemoval(*product);
            }
            product->Detect();
            if (product->installed)
                allSucceeded_ = false;
            else
                gone.push_back(product);
        }
    } catch (...) {
        // The pass did not finish: it failed, and only the components that
        // a detection found gone count as removed.
        allSucceeded_ = false;
        WriteUnhandledException(L"Unhandled exception during product removal: ");
    }
    removed_.swap(gone);
}

void BackgroundRemover::WriteFailedRemoval(ORVProduct& product) {
    log_.Write(L"One or more steps in the removal of \"");
    log_.Write(product.Name());
    log_.Write(L"\" has failed.");
    log_.Write(L"\r\n");
}

void BackgroundRemover::WriteUnhandledException(const wchar_t* prefix) noexcept {
    try {
        log_.Write(prefix);
        log_.WriteCurrentException();
        log_.Write(L"\r\n");
    } catch (...) {
        // The finish message must still be posted.
    }
}
