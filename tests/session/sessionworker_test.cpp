#include "session/sessionworker.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "s100/sesabort.h"
#include "tests/session/server_fixture.h"

namespace tlv::test {
namespace {

using Clock = std::chrono::steady_clock;
using SessionSlot = SessionWorker::SessionSlot;

// Connects the worker's session and waits for it; true when it is open.
bool Connect(SessionWorker& worker) {
    std::atomic<bool> bDone{false};
    std::atomic<bool> bOpen{false};
    SessionWorker::Job connect = worker.ConnectJob(kServerEntry);
    worker.Post([&, connect](SessionSlot& session) {
        connect(session);
        bOpen = session != nullptr && session->IsOK() != 0;
        bDone = true;
    });
    return waitUntil([&] { return bDone.load(); }, std::chrono::seconds(10)) && bOpen;
}

// What one level call gave.
struct LevelCall {
    std::atomic<bool> bDone{false};
    std::atomic<long> ok{-1};
    std::atomic<unsigned long> error{0};
};

SessionWorker::Job ReadLevel(LevelCall& call) {
    return [&call](SessionSlot& session) {
        long level = 0;
        call.ok = session->GetServerLevel(level);
        call.error = session->LastError();
        call.bDone = true;
    };
}

TEST(SessionWorkerTest, JobsRunOneAtATimeInTheOrderEachThreadPostedThem) {
    ServerFixture fixture({"--delay", "GetServerLevel=20"});
    ASSERT_TRUE(fixture.IsReady());
    SessionWorker worker;
    ASSERT_TRUE(Connect(worker));

    std::mutex mutex;
    std::vector<int> order;
    std::atomic<int> inside{0};
    std::atomic<int> most{0};
    const auto post = [&](int first) {
        for (int n = first; n < first + 5; ++n) {
            worker.Post([&, n](SessionSlot& session) {
                const int now = ++inside;
                most = std::max(most.load(), now);
                long level = 0;
                EXPECT_EQ(session->GetServerLevel(level), 1);
                {
                    const std::lock_guard lock(mutex);
                    order.push_back(n);
                }
                --inside;
            });
        }
    };
    std::thread other(post, 100);
    post(0);
    other.join();
    ASSERT_TRUE(waitUntil([&] { return worker.Outstanding() == 0; }, std::chrono::seconds(10)));

    EXPECT_EQ(most.load(), 1);
    ASSERT_EQ(order.size(), 10u);
    std::vector<int> mine;
    std::vector<int> theirs;
    for (const int n : order)
        (n < 100 ? mine : theirs).push_back(n);
    EXPECT_EQ(mine, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(theirs, (std::vector<int>{100, 101, 102, 103, 104}));
    EXPECT_FALSE(worker.SilentSince().has_value());
}

TEST(SessionWorkerTest, AnAbortEndsTheWaitingCallAndEveryLaterOneAtOnce) {
    ServerFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    auto worker = std::make_unique<SessionWorker>();
    ASSERT_TRUE(Connect(*worker));
    ASSERT_EQ(kill(fixture.Server().pid(), SIGSTOP), 0);

    LevelCall first;
    LevelCall second;
    worker->Post(ReadLevel(first));
    worker->Post(ReadLevel(second));
    ASSERT_TRUE(waitUntil([&] { return worker->SilentSince().has_value(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(first.bDone.load());  // the server is stopped: the call waits

    const auto aborted = Clock::now();
    worker->Abort();
    ASSERT_TRUE(waitUntil([&] { return second.bDone.load(); }, std::chrono::seconds(2)));
    EXPECT_LT(Clock::now() - aborted, std::chrono::seconds(1));
    EXPECT_EQ(first.ok.load(), 0);
    EXPECT_EQ(first.error.load(), static_cast<unsigned long>(CTerr_ConnectionLost));
    EXPECT_EQ(second.ok.load(), 0);
    EXPECT_EQ(second.error.load(), static_cast<unsigned long>(CTerr_ConnectionLost));

    // Another call waiting when the worker goes is given up: the owner does not wait for it.
    LevelCall third;
    auto waiting = std::make_unique<SessionWorker>();
    ASSERT_EQ(kill(fixture.Server().pid(), SIGCONT), 0);
    ASSERT_TRUE(Connect(*waiting));
    ASSERT_EQ(kill(fixture.Server().pid(), SIGSTOP), 0);
    waiting->Post(ReadLevel(third));
    ASSERT_TRUE(waitUntil([&] { return waiting->SilentSince().has_value(); }));
    const auto destroyed = Clock::now();
    waiting.reset();
    EXPECT_LT(Clock::now() - destroyed, std::chrono::seconds(1));
    EXPECT_EQ(third.error.load(), static_cast<unsigned long>(CTerr_ConnectionLost));
    ASSERT_EQ(kill(fixture.Server().pid(), SIGCONT), 0);
}

TEST(SessionWorkerTest, AnAbortBeforeTheConnectKeepsItFromStarting) {
    ServerFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    SessionWorker worker;
    worker.Abort();
    std::atomic<bool> bDone{false};
    std::atomic<long> ok{-1};
    std::atomic<unsigned long> error{0};
    SessionWorker::Job connect = worker.ConnectJob(kServerEntry);
    worker.Post([&, connect](SessionSlot& session) {
        connect(session);
        ok = session->IsOK();
        error = session->LastError();
        bDone = true;
    });
    ASSERT_TRUE(waitUntil([&] { return bDone.load(); }));
    EXPECT_EQ(ok.load(), 0);
    EXPECT_EQ(error.load(), static_cast<unsigned long>(CTerr_ConnectionLost));

    // A handle the library does not know cannot be aborted.
    CTerror unknown = CTerr_NoError;
    EXPECT_NE(TLVses_Abort(0x7fffffff, &unknown), CT_SUCCESS);
    EXPECT_EQ(unknown, CTerr_InvalidHandle);
}

}  // namespace
}  // namespace tlv::test
