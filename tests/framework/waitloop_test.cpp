// Waiting for work on another thread with the windows alive, and the program's waiting box.

#include "framework/waitloop.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <thread>

#include "framework/testing/scriptedwaitingbox.h"
#include "framework/widgets/widgetwaitingbox.h"

namespace {

using namespace std::chrono_literals;

QString Text(int seconds) {
    return QStringLiteral("Waiting for Far...\n%1 s").arg(seconds);
}

TEST(WaitLoop, WorkDoneWithinASecondShowsNoBoxAndTimersKeepRunningMeanwhile) {
    ScriptedWaitingBox box;
    WaitCompletion completion;
    std::thread work([&] {
        std::this_thread::sleep_for(300ms);
        completion.Finish();
    });
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(20);
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(CWaitLoop(QStringLiteral("Caption"), Text).Run(completion),
              CWaitLoop::Outcome::Finished);
    work.join();
    EXPECT_GE(waited.elapsed(), 250);
    EXPECT_LT(waited.elapsed(), 1000);
    EXPECT_GE(ticks, 5);  // the GUI thread was not blocked
    EXPECT_EQ(box.TimesShown(), 0);
}

TEST(WaitLoop, AfterASecondTheBoxCountsTheSecondsAndItsCancelEndsTheWaitAtOnce) {
    WaitCompletion completion;
    // The box the program shows, its Cancel pressed once it has been up for a while.
    WidgetWaitingBox widgetBox;
    const WaitingBoxGuard guard(widgetBox);
    QElapsedTimer waited;
    QElapsedTimer sinceCancel;
    // Precise: a coarse timer may fire up to 5 % early, before the 2.2 s checked below.
    QTimer::singleShot(2300, Qt::PreciseTimer, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Caption");
        // A loaded machine may fire this late: the count follows the time waited, a tick behind
        // at most.
        const int seconds = static_cast<int>(waited.elapsed() / 1000);
        const QString shown = dialog->findChild<QLabel*>()->text();
        EXPECT_TRUE(seconds >= 2 && (shown == Text(seconds) || shown == Text(seconds - 1)))
            << shown.toStdString() << " after " << waited.elapsed() << " ms";
        QPushButton* cancel = dialog->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->text(), "Cancel");
        sinceCancel.start();
        cancel->click();
    });
    waited.start();
    EXPECT_EQ(CWaitLoop(QStringLiteral("Caption"), Text).Run(completion),
              CWaitLoop::Outcome::Cancelled);
    EXPECT_GE(waited.elapsed(), 2200);  // the box was up well past a second
    ASSERT_TRUE(sinceCancel.isValid());
    EXPECT_LT(sinceCancel.elapsed(), 500);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // the box went with the wait

    // The work, told to stop, is waited for to its end without a box.
    std::thread work([&] {
        std::this_thread::sleep_for(100ms);
        completion.Finish();
    });
    CWaitLoop::RunToEnd(completion);
    EXPECT_TRUE(completion.IsFinished());
    work.join();
}

TEST(WaitLoop, AThreadWithoutTheApplicationsEventsSimplyBlocks) {
    ScriptedWaitingBox box;
    CWaitLoop::Outcome outcome = CWaitLoop::Outcome::Cancelled;
    bool bEvents = true;
    std::thread waiter([&] {
        bEvents = CWaitLoop::HasApplicationEvents();
        WaitCompletion completion;
        std::thread work([&] {
            std::this_thread::sleep_for(1200ms);
            completion.Finish();
        });
        outcome = CWaitLoop(QStringLiteral("Caption"), Text).Run(completion);
        work.join();
    });
    waiter.join();
    EXPECT_FALSE(bEvents);
    EXPECT_EQ(outcome, CWaitLoop::Outcome::Finished);
    EXPECT_EQ(box.TimesShown(), 0);
    EXPECT_TRUE(CWaitLoop::HasApplicationEvents());
}

}  // namespace
