#include "ui/BackgroundRemover.h"

#include "log/MessageLog.h"
#include "platform/FaultInjection.h"
#include "support/RecordingLog.h"
#include "ui/FakeProduct.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The remover's window: a message-only window of the test thread. The
// worker posts to it; a test joins the worker (Stop) and then reads what
// was posted, so nothing is waited for.
class BackgroundRemoverTest : public ::testing::Test {
protected:
    BackgroundRemoverTest() {
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        remover.SetWindow(window_);
    }
    ~BackgroundRemoverTest() override {
        remover.Stop();
        DestroyWindow(window_);
    }

    FakeProduct* Add(const wchar_t* name, bool installed) {
        products_.push_back(std::make_unique<FakeProduct>(log, name, installed, L"1.0"));
        return products_.back().get();
    }

    std::vector<ORVProduct*> List(std::initializer_list<FakeProduct*> products) {
        return std::vector<ORVProduct*>(products.begin(), products.end());
    }

    // The finish messages posted so far, in order.
    std::vector<UINT> Posted() {
        std::vector<UINT> messages;
        MSG message;
        while (PeekMessageW(&message, window_, WM_DETECTION_FINISHED, WM_REMOVAL_FINISHED, PM_REMOVE))
            messages.push_back(message.message);
        return messages;
    }

    RecordingLog log;
    BackgroundRemover remover{log};
    HWND window_ = nullptr;

private:
    std::vector<std::unique_ptr<FakeProduct>> products_;
};

TEST_F(BackgroundRemoverTest, DetectionKeepsTheInstalledComponentsInOrder) {
    FakeProduct* server = Add(L"Server", false);
    FakeProduct* agent = Add(L"Agent", false);
    FakeProduct* relay = Add(L"Relay", true);
    agent->installedAfterDetect = true;
    relay->installedAfterDetect = true;

    remover.StartDetection(List({server, agent, relay}));
    remover.Stop();

    EXPECT_EQ(Posted(), (std::vector<UINT>{WM_DETECTION_FINISHED}));
    EXPECT_EQ(remover.Installed(), List({agent, relay}));
    EXPECT_EQ(log.Text(), L"detect Server\r\ndetect Agent\r\ndetect Relay\r\n");
    EXPECT_EQ(WM_DETECTION_FINISHED, 0x8001u);
    EXPECT_EQ(WM_REMOVAL_FINISHED, 0x8002u);
}

TEST_F(BackgroundRemoverTest, RemovalCountsWhatDetectionNoLongerFinds) {
    FakeProduct* failsButGoes = Add(L"DLP", true);
    failsButGoes->removeSucceeds = false;
    FakeProduct* staysBehind = Add(L"Console", true);
    staysBehind->stillInstalledAfterRemove = true;
    FakeProduct* clean = Add(L"Agent", true);

    remover.StartRemoval(List({failsButGoes, staysBehind, clean}));
    remover.Stop();

    EXPECT_EQ(Posted(), (std::vector<UINT>{WM_REMOVAL_FINISHED}));
    EXPECT_FALSE(remover.AllSucceeded());
    EXPECT_EQ(remover.Removed(), List({failsButGoes, clean}));
    EXPECT_EQ(log.Text(),
              L"remove DLP\r\n"
              L"One or more steps in the removal of \"DLP\" has failed.\r\n"
              L"detect DLP\r\n"
              L"remove Console\r\ndetect Console\r\n"
              L"remove Agent\r\ndetect Agent\r\n");
    // The failure line comes in four writes.
    EXPECT_EQ(log.pieces[1], L"One or more steps in the removal of \"");
    EXPECT_EQ(log.pieces[2], L"DLP");
    EXPECT_EQ(log.pieces[3], L"\" has failed.");
    EXPECT_EQ(log.pieces[4], L"\r\n");

    // Afterwards the dialog keeps only what is still installed.
    remover.StartDetection(List({failsButGoes, staysBehind, clean}));
    remover.Stop();
    remover.EraseUninstalled();
    EXPECT_EQ(remover.Installed(), List({staysBehind}));
}

TEST_F(BackgroundRemoverTest, CleanRemovalSucceeds) {
    FakeProduct* a = Add(L"A2A", true);
    FakeProduct* b = Add(L"Relay", true);
    remover.StartRemoval(List({a, b}));
    remover.Stop();
    EXPECT_TRUE(remover.AllSucceeded());
    EXPECT_EQ(remover.Removed(), List({a, b}));
    EXPECT_EQ(a->removeCalls, 1);
    EXPECT_EQ(a->detectCalls, 1);
}

TEST_F(BackgroundRemoverTest, ExceptionInDetectionIsLoggedAndStillFinishes) {
    FakeProduct* first = Add(L"MSDE", false);
    first->installedAfterDetect = true;
    FakeProduct* broken = Add(L"Client", false);
    broken->throwOnDetect = true;
    FakeProduct* unreached = Add(L"Server", true);  // found by an earlier pass

    remover.StartDetection(List({first, broken, unreached}));
    remover.Stop();

    EXPECT_EQ(Posted(), (std::vector<UINT>{WM_DETECTION_FINISHED}));
    EXPECT_EQ(unreached->detectCalls, 0);
    EXPECT_EQ(remover.Installed(), List({first, unreached}));
    const std::wstring expected = L"detect MSDE\r\ndetect Client\r\n"
                                  L"Unhandled exception during product detection: Windows Error 0x5: ";
    EXPECT_EQ(log.Text().substr(0, expected.size()), expected);
    EXPECT_EQ(log.pieces.back(), L"\r\n");
}

// A removal pass that an exception cuts short has failed, and only what a
// detection found gone counts as removed, so the final cleanup cannot run
// over components that are still there.
TEST_F(BackgroundRemoverTest, ExceptionInRemovalFailsThePass) {
    FakeProduct* done = Add(L"A2A", true);
    FakeProduct* broken = Add(L"Console", true);
    broken->throwOnRemove = true;
    FakeProduct* unreached = Add(L"Agent", true);

    remover.StartRemoval(List({done, broken, unreached}));
    remover.Stop();

    EXPECT_EQ(Posted(), (std::vector<UINT>{WM_REMOVAL_FINISHED}));
    EXPECT_FALSE(remover.AllSucceeded());
    EXPECT_EQ(remover.Removed(), List({done}));
    EXPECT_EQ(unreached->removeCalls, 0);
    EXPECT_EQ(log.Text(), L"remove A2A\r\ndetect A2A\r\nremove Console\r\n"
                          L"Unhandled exception during product removal: remove blew up\r\n");
}

TEST_F(BackgroundRemoverTest, PassesRunOneAtATime) {
    FakeProduct* agent = Add(L"Agent", true);
    remover.StartDetection(List({agent}));
    // Not stopped: the next start waits for the pass before it.
    remover.StartRemoval(List({agent}));
    remover.Stop();
    EXPECT_EQ(Posted(), (std::vector<UINT>{WM_DETECTION_FINISHED, WM_REMOVAL_FINISHED}));
    EXPECT_EQ(remover.Installed(), List({agent}));
    EXPECT_EQ(remover.Removed(), List({agent}));
    EXPECT_EQ(log.Text(), L"detect Agent\r\nremove Agent\r\ndetect Agent\r\n");
}

TEST_F(BackgroundRemoverTest, TimerRunsFromStartUntilStop) {
    FakeProduct* agent = Add(L"Agent", false);
    remover.StartDetection(List({agent}));
    remover.Stop();
    EXPECT_FALSE(KillTimer(window_, 1));  // Stop killed it

    remover.StartDetection(List({agent}));
    EXPECT_TRUE(KillTimer(window_, 1));  // timer 1 of the window was running
    remover.Stop();
}

// Wine starts threads whenever asked; the failure comes through the seam.
TEST_F(BackgroundRemoverTest, ThreadThatCannotStartThrowsWithErrno) {
    FakeProduct* agent = Add(L"Agent", true);
    {
        WindowsPlatform::ScopedFault fault("_beginthreadex", EAGAIN);
        try {
            remover.StartDetection(List({agent}));
            ADD_FAILURE() << "no ThreadError";
        } catch (const WindowsPlatform::ThreadError& error) {
            EXPECT_EQ(error.Errno(), EAGAIN);
        }
        EXPECT_FALSE(KillTimer(window_, 1));  // no timer left running
        remover.Stop();
    }
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(agent->detectCalls, 0);

    remover.StartDetection(List({agent}));
    remover.Stop();
    EXPECT_EQ(Posted(), (std::vector<UINT>{WM_DETECTION_FINISHED}));
}

// Many lines from one component reach the pane's queue whole and in order.
TEST(BackgroundRemoverLogTest, LinesQueueInTheOrderWritten) {
    Remove::PendingLines pending;
    Remove::MessageLog log(pending);
    class Chatty : public FakeProduct {
    public:
        using FakeProduct::FakeProduct;
        void Detect() override {
            for (int i = 0; i < 500; ++i) {
                log.Write(L"line ");
                log.Write(std::to_wstring(i));
                log.EndLine();
            }
        }
    } chatty(log, L"Server");
    BackgroundRemover remover(log);
    remover.StartDetection({&chatty});
    remover.Stop();

    std::wstring expected;
    for (int i = 0; i < 500; ++i) expected += L"line " + std::to_wstring(i) + L"\r\n";
    EXPECT_EQ(pending.TakeText(), expected);
    EXPECT_EQ(pending.TakeText(), L"");
}

}  // namespace
