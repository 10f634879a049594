#pragma once
// Runs the dialog's detection and removal passes on a worker thread, one
// pass at a time. The worker never touches a window: the components write
// to the log (a queue the dialog empties on its timer), and the last act of
// every pass is to post its finish message to the dialog. The dialog reads
// the results only after that message arrived, or after Stop.

#include "products/ORVProduct.h"
#include "log/Log.h"

#include <windows.h>

#include <vector>

// Posted to the dialog when a detection pass is over.
constexpr UINT WM_DETECTION_FINISHED = WM_APP + 1;  // 0x8001
// Posted to the dialog when a removal pass is over.
constexpr UINT WM_REMOVAL_FINISHED = WM_APP + 2;  // 0x8002

// Work for a thread started with StartThread.
class Callable {
public:
    virtual void Run() = 0;
    virtual ~Callable() = default;
};

namespace WindowsPlatform {

// Starts a thread that calls callable.Run() and returns its handle. Throws
// ThreadError with the C runtime's errno when the thread cannot be started.
// Test seam: "_beginthreadex" (the injected code stands for the errno).
HANDLE StartThread(Callable& callable);

// Waits for the thread to end and closes its handle; a null handle is
// skipped. Throws Windows::Error when the wait or the close fails.
void JoinThread(HANDLE thread);

}  // namespace WindowsPlatform

class BackgroundRemover : public Callable {
public:
    // The log is not owned and must outlive the remover.
    explicit BackgroundRemover(Remove::Log& log) : log_(log) {}
    // Joins the worker thread.
    ~BackgroundRemover() override;
    BackgroundRemover(const BackgroundRemover&) = delete;
    BackgroundRemover& operator=(const BackgroundRemover&) = delete;

    // The window that receives the finish messages and owns timer 1.
    void SetWindow(HWND hwnd) noexcept { hwnd_ = hwnd; }

    // Start a pass over the components (not owned): timer 1 of the window
    // starts ticking every 100 ms and a worker thread runs the pass. A pass
    // still running is joined first. When the thread cannot be started,
    // the timer is killed again and WindowsPlatform::ThreadError is thrown.
    void StartDetection(const std::vector<ORVProduct*>& products);
    void StartRemoval(const std::vector<ORVProduct*>& products);
    // Kills the timer and joins the worker thread, if any.
    void Stop();

    // The pass itself, on the worker thread.
    void Run() override;

    // After a detection pass: the installed components in the order given.
    const std::vector<ORVProduct*>& Installed() const noexcept { return products_; }
    // Drops the components whose installed flag is now false; the others
    // keep their order.
    void EraseUninstalled();
    // After a removal pass: the components that the pass removed, in
    // removal order.
    const std::vector<ORVProduct*>& Removed() const noexcept { return removed_; }
    // Whether every removal of the last removal pass succeeded.
    bool AllSucceeded() const noexcept { return allSucceeded_; }

private:
    enum class Mode { detection = 0, removal = 1 };

    void Start(Mode mode, const std::vector<ORVProduct*>& products);
    void Detect();
    void RemoveAll();
    void WriteFailedRemoval(ORVProduct& product);
    void WriteUnhandledException(const wchar_t* prefix) noexcept;

    HWND hwnd_ = nullptr;
    UINT_PTR timerId_ = 0;
    Remove::Log& log_;
    bool allSucceeded_ = true;
    std::vector<ORVProduct*> products_;
    std::vector<ORVProduct*> removed_;
    Mode mode_ = Mode::detection;
    HANDLE thread_ = nullptr;
};
