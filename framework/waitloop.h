#pragma once
// Waiting on the GUI thread for work that runs on another thread, with the windows alive: they
// repaint and their timers keep running, while what the operator types or clicks is held back
// until the wait ends. After a second the waiting box (framework/waitingbox.h) shows what is
// awaited, the seconds since and any progress, with Cancel; the box is then the only window
// that takes input.
//
// On a thread without a running Qt application (a command-line program) the wait simply
// blocks: there is no window to keep alive.

#include <QString>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class QAbstractEventDispatcher;

// Finished once by the work, from any thread; may outlive the wait.
class WaitCompletion final {
public:
    void Finish();
    bool IsFinished() const;

private:
    friend class CWaitLoop;
    void WatchFrom(QAbstractEventDispatcher* dispatcher);
    void BlockUntilFinished();

    mutable std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_bFinished = false;
    QAbstractEventDispatcher* m_pDispatcher = nullptr;  // woken when finished
};

class CWaitLoop final {
public:
    enum class Outcome { Finished, Cancelled };
    // The box's text for the seconds waited so far; read on the GUI thread.
    using BoxText = std::function<QString(int seconds)>;

    static constexpr int kBoxDelayMs = 1000;

    CWaitLoop(QString caption, BoxText text);

    // Waits until the work finished or the operator pressed Cancel.
    Outcome Run(WaitCompletion& completion);
    // Waits, with no box and nothing to cancel, until the work finished: for work that was told
    // to stop and ends at once.
    static void RunToEnd(WaitCompletion& completion);

    // Whether this thread runs the Qt application's events, so a wait keeps windows alive.
    static bool HasApplicationEvents();

private:
    QString m_strCaption;
    BoxText m_text;
};
