#include "log/MessageLog.h"

#include <gtest/gtest.h>

#include <process.h>

#include <string>

namespace {

TEST(MessageLogTest, TextAndErrorsQueueInOrderUntilTaken) {
    Remove::PendingLines pending;
    Remove::MessageLog log(pending);
    EXPECT_EQ(pending.TakeText(), L"");

    log.Write(L"Deleting key...");
    log.WriteError(L"failed");
    log.EndLine();
    log.Write(static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(pending.TakeAll(), (std::vector<std::wstring>{L"Deleting key...", L"failed", L"\r\n"}));
    EXPECT_TRUE(pending.TakeAll().empty());

    log.WriteDetectionBanner(L"Agent");
    const std::wstring banner = pending.TakeText();
    EXPECT_NE(banner.find(L"* Detecting Agent\r\n"), std::wstring::npos);
    EXPECT_EQ(pending.TakeText(), L"");
}

struct Writer {
    Remove::MessageLog* log;
    wchar_t tag;
    int lines;
};

unsigned __stdcall WriteLines(void* argument) {
    const Writer& writer = *static_cast<Writer*>(argument);
    for (int i = 0; i < writer.lines; ++i) {
        writer.log->Write(std::wstring(1, writer.tag) + std::to_wstring(i));
        writer.log->Write(L"\r\n");
    }
    return 0;
}

// Two threads write while the UI side takes text out: no piece is lost or
// split, and each thread's pieces stay in the order written.
TEST(MessageLogTest, ConcurrentWritersLoseNothing) {
    Remove::PendingLines pending;
    Remove::MessageLog log(pending);
    constexpr int kLines = 2000;
    Writer a{&log, L'a', kLines};
    Writer b{&log, L'b', kLines};
    HANDLE threads[2] = {
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WriteLines, &a, 0, nullptr)),
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WriteLines, &b, 0, nullptr)),
    };
    ASSERT_TRUE(threads[0] && threads[1]);
    std::vector<std::wstring> pieces;
    while (WaitForMultipleObjects(2, threads, TRUE, 0) == WAIT_TIMEOUT) {
        auto taken = pending.TakeAll();
        pieces.insert(pieces.end(), taken.begin(), taken.end());
    }
    CloseHandle(threads[0]);
    CloseHandle(threads[1]);
    auto rest = pending.TakeAll();
    pieces.insert(pieces.end(), rest.begin(), rest.end());

    ASSERT_EQ(pieces.size(), static_cast<size_t>(4 * kLines));
    int nextA = 0;
    int nextB = 0;
    for (const auto& piece : pieces) {
        if (piece == L"\r\n") continue;
        int& next = piece[0] == L'a' ? nextA : nextB;
        EXPECT_EQ(piece.substr(1), std::to_wstring(next));
        ++next;
    }
    EXPECT_EQ(nextA, kLines);
    EXPECT_EQ(nextB, kLines);
}

}  // namespace
