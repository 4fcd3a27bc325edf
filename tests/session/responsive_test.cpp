// The document while its server is slow, silent or given up on: the GUI thread never waits for
// a tick's calls, a silent server is shown so and comes back by itself, the deadline still ends
// it, and the operator can stop waiting for a command.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <thread>

#include "framework/testing/scriptedwaitingbox.h"
#include "framework/waitcursor.h"
#include "session/admindoc.h"
#include "tests/session/server_fixture.h"

namespace tlv::test {
namespace {

// Handles the application's events until the condition holds (at most the timeout).
bool EventsUntil(const std::function<bool()>& condition,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return waitUntil(
        [&] {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            return condition();
        },
        timeout);
}

// A document on the fixture's server, let in by the timer.
std::unique_ptr<CAdminDoc> OpenTicking(ServerFixture& fixture) {
    auto doc = fixture.OpenDocument();
    if (doc)
        doc->RefreshProfileInfo(0);
    return doc;
}

TEST(ResponsiveDocTest, ATickPostsItsCallsAndTheNextWaitsUntilItsAnswersAreApplied) {
    ServerFixture fixture({"--delay", "GetServerLevel=300"});
    ASSERT_TRUE(fixture.IsReady());
    auto doc = OpenTicking(fixture);
    ASSERT_TRUE(doc);
    HintRecorder view;
    doc->AddView(&view);

    QElapsedTimer posting;
    posting.start();
    doc->PeriodicRefresh();  // tick 0 reads all four
    doc->PeriodicRefresh();
    doc->PeriodicRefresh();
    EXPECT_LT(posting.elapsed(), 200);
    EXPECT_TRUE(doc->IsTickOutstanding());
    ASSERT_TRUE(AwaitTickAnswers(*doc));

    // Had the two ticks during the first posted calls, the profiles (every 5th tick) would be
    // read by the third tick from here instead of the fifth.
    ASSERT_TRUE(ServerFixture::AddProfile(*doc, "Late", "Application"));
    view.hints.clear();
    for (int tick = 1; tick <= 4; ++tick)
        ASSERT_TRUE(RunTick(*doc));
    EXPECT_TRUE(view.hints.empty());
    ASSERT_TRUE(RunTick(*doc));
    EXPECT_EQ(view.hints, (std::vector<long>{HINT_PROFILES}));
    EXPECT_TRUE(fixture.Seam().Events().empty());
}

TEST(ResponsiveDocTest, AClosedDocumentGivesUpItsCallAtOnceAndItsAnswerIsNeverApplied) {
    ServerFixture fixture({"--delay", "GetServiceState=3000"});
    ASSERT_TRUE(fixture.IsReady());
    auto doc = OpenTicking(fixture);
    ASSERT_TRUE(doc);
    HintRecorder view;
    doc->AddView(&view);
    doc->PeriodicRefresh();  // the level, then the services, which take 3 s
    EventsUntil([] { return false; }, std::chrono::milliseconds(300));
    ASSERT_TRUE(doc->IsTickOutstanding());

    QElapsedTimer closing;
    closing.start();
    doc->OnCloseDocument();
    EXPECT_LT(closing.elapsed(), 1000);
    EventsUntil([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_TRUE(doc->IsTickOutstanding());  // the answer was dropped
    EXPECT_TRUE(view.hints.empty());
    EXPECT_TRUE(fixture.Seam().Events().empty());

    // Destroyed without being closed, with its call out: the same.
    auto other = OpenTicking(fixture);
    ASSERT_TRUE(other);
    other->PeriodicRefresh();
    EventsUntil([] { return false; }, std::chrono::milliseconds(300));
    QElapsedTimer destroying;
    destroying.start();
    other.reset();
    EXPECT_LT(destroying.elapsed(), 1000);
    EventsUntil([] { return false; }, std::chrono::milliseconds(200));
}

TEST(ResponsiveDocTest, ASilentServerIsShownNotRespondingUntilItsAnswerComes) {
    ServerFixture fixture({"--delay", "GetServerLevel=4500"});
    ASSERT_TRUE(fixture.IsReady());
    auto doc = OpenTicking(fixture);
    ASSERT_TRUE(doc);
    QElapsedTimer waited;
    waited.start();
    doc->PeriodicRefresh();
    ASSERT_TRUE(EventsUntil([&] { return doc->IsNotResponding(); }));
    EXPECT_GE(waited.elapsed(), 2700);
    EXPECT_EQ(doc->GetTitle(), QString(kServerEntry) + " [Not Responding]");
    const qint64 silentFor = doc->NotAnsweredSince().msecsTo(QDateTime::currentDateTime());
    EXPECT_GE(silentFor, 2700);
    EXPECT_LT(silentFor, 4500);

    ASSERT_TRUE(AwaitTickAnswers(*doc));
    EXPECT_FALSE(doc->IsNotResponding());
    EXPECT_EQ(doc->GetTitle(), kServerEntry);
    EXPECT_EQ(doc->IsDisconnected(), 0);
    EXPECT_TRUE(fixture.Seam().Events().empty());
}

TEST(ResponsiveDocTest, AtTheDeadlineASilentServerIsLostAsAnyOther) {
    setenv("TLV_CALL_TIMEOUT_MS", "3500", 1);
    ServerFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    auto doc = OpenTicking(fixture);
    unsetenv("TLV_CALL_TIMEOUT_MS");
    ASSERT_TRUE(doc);
    ASSERT_EQ(kill(fixture.Server().pid(), SIGSTOP), 0);
    doc->PeriodicRefresh();
    ASSERT_TRUE(AwaitTickAnswers(*doc));
    ASSERT_EQ(kill(fixture.Server().pid(), SIGCONT), 0);
    EXPECT_EQ(fixture.Seam().MessageTexts(),
              (std::vector<std::string>{
                  "A connection to a Telvane Server has been lost, possibly because the Telvane "
                  "Server has been shut down. The connection will be closed."}));
    EXPECT_EQ(doc->GetTitle(), QString(kServerEntry) + " [Disconnected]");
    EXPECT_FALSE(doc->IsNotResponding());
}

TEST(ResponsiveDocTest, CancellingTheWaitClosesTheSessionAsLostAndSaysTheCommandMayHaveRun) {
    ServerFixture fixture({"--delay", "SetTargetServerLevel=5000"});
    ASSERT_TRUE(fixture.IsReady());
    auto doc = OpenTicking(fixture);
    ASSERT_TRUE(doc);
    HintRecorder view;
    doc->AddView(&view);
    ScriptedWaitingBox box;
    box.CancelWhenShown();

    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(doc->ChangeServerLevel(2, LEVEL_CHANGE_NORMAL), 0);
    EXPECT_GE(waited.elapsed(), 1000);
    EXPECT_LT(waited.elapsed(), 2500);
    EXPECT_EQ(box.TimesShown(), 1);
    EXPECT_FALSE(box.IsShown());
    EXPECT_EQ(box.Caption(), "Telvane Server Administration");
    ASSERT_FALSE(box.Texts().empty());
    EXPECT_EQ(box.Texts().front(), QString("Waiting for TestServer...\n1 s"));
    EXPECT_EQ(CWaitCursor::Depth(), 0);

    EXPECT_EQ(fixture.Seam().MessageTexts(),
              (std::vector<std::string>{
                  "You stopped waiting for TestServer, so the connection has been closed. The "
                  "server may still have carried out the command: refresh the lists after "
                  "connecting again to see what it did."}));
    EXPECT_EQ(doc->LastError(), 4167u);
    EXPECT_EQ(doc->WasWaitCancelled(), 1);
    EXPECT_EQ(doc->IsDisconnected(), 1);
    EXPECT_EQ(doc->GetTitle(), QString(kServerEntry) + " [Disconnected]");
    EXPECT_EQ(view.hints, (std::vector<long>{HINT_LEVEL, HINT_PROFILES, HINT_SERVICES, HINT_SPS}));

    // The session is gone: a later refresh fails at once, with no box to wait in.
    QElapsedTimer again;
    again.start();
    EXPECT_EQ(doc->RefreshServiceInfo(1), 0);
    EXPECT_EQ(doc->LastError(), 4172u);
    EXPECT_LT(again.elapsed(), 500);
    EXPECT_EQ(box.TimesShown(), 1);
    EXPECT_EQ(fixture.Seam().MessageTexts().size(), 1u);
}

TEST(ResponsiveDocTest, TheWaitingBoxCountsTheSecondsAndShowsTheJobsProgress) {
    ServerFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    auto doc = fixture.OpenDocument();
    ASSERT_TRUE(doc);
    ScriptedWaitingBox box;
    std::atomic<int> checked{0};
    const int ran = doc->RunOnSession(
        [&checked](ECTF_AdminSession&) {
            for (int step = 1; step <= 5; ++step) {
                std::this_thread::sleep_for(std::chrono::milliseconds(450));
                checked = step;
            }
        },
        [&checked] { return QStringLiteral("Checked %1 of 5 profiles").arg(checked.load()); });
    EXPECT_EQ(ran, 1);
    ASSERT_EQ(box.TimesShown(), 1);
    ASSERT_GE(box.Texts().size(), 2u);
    const QString first = box.Texts().front();
    EXPECT_TRUE(first.startsWith("Waiting for TestServer...\n1 s\nChecked "))
        << first.toStdString();
    EXPECT_TRUE(first.endsWith(" of 5 profiles")) << first.toStdString();
    EXPECT_TRUE(std::any_of(box.Texts().begin(), box.Texts().end(),
                            [](const QString& text) { return text.contains("\n2 s\n"); }));
    EXPECT_FALSE(box.IsShown());
    EXPECT_EQ(doc->IsDisconnected(), 0);
}

}  // namespace
}  // namespace tlv::test
