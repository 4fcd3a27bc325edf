#pragma once
// SessionLink: a session worker (session/sessionworker.h) as the GUI thread uses it. A job is
// either posted, and its answer then runs on the GUI thread once the job is done, or awaited:
// the GUI thread waits in a CWaitLoop (framework/waitloop.h), windows alive, until it is done
// or the operator cancels. The link also watches the worker: a job that has been silent for
// kSilenceMs makes the link "not responding" until it answers or makes progress.
//
// Threads. The link is made, used and destroyed on the GUI thread; its worker's thread makes
// every call. An answer never runs after the link is gone: the destructor aborts the worker
// and joins it before the answers' receiver goes, which drops the answers still queued. The
// answers of posted jobs need the Qt application's event loop; without one (a command-line
// program), only awaiting is used, and it simply blocks.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "session/sessionworker.h"

class SessionLink final {
public:
    enum class Waited { Done, Cancelled };
    // The waiting box's line of progress, read on the GUI thread; empty when there is none.
    using Progress = std::function<QString()>;

    // How long a job may stay silent before the link calls the server not responding: with the
    // watch's interval, the windows say so within 3 s.
    static constexpr int kSilenceMs = 2800;
    static constexpr int kWatchIntervalMs = 100;

    // The entry names the server in the waiting box; caption is the box's title. abortLine:
    // the worker's (session/sessionworker.h).
    SessionLink(QString entryText, QString caption,
                std::shared_ptr<SessionAbortLine> abortLine = std::make_shared<SessionAbortLine>());
    ~SessionLink();
    SessionLink(const SessionLink&) = delete;
    SessionLink& operator=(const SessionLink&) = delete;

    // Queues the job; answer runs on the GUI thread after it, unless the link is gone first.
    void Post(SessionWorker::Job job, std::function<void()> answer);

    // Runs the job and waits for it, the wait cursor shown when asked. Cancelled when the
    // operator gave up: the worker is then aborted (the session is lost), and the job has ended
    // before this returns, so it may use what the caller lends it.
    Waited Await(SessionWorker::Job job, bool bWaitCursor, const Progress& progress = {});

    SessionWorker& Worker() { return *m_pWorker; }
    void Abort() { m_pWorker->Abort(); }

    bool IsNotResponding() const { return m_bNotResponding; }
    // Since when the server has been silent, while not responding.
    const QDateTime& SilentSince() const { return m_silentSince; }
    // Runs on the GUI thread whenever IsNotResponding changes.
    void SetResponsivenessHandler(std::function<void()> handler) {
        m_onResponsiveness = std::move(handler);
    }

private:
    void StartWatching();
    // Looks at the worker: silent for too long, or answering again.
    void Watch();
    QString BoxText(int seconds, const Progress& progress) const;

    QString m_strEntry;
    QString m_strCaption;
    bool m_bNotResponding = false;
    QDateTime m_silentSince;
    std::function<void()> m_onResponsiveness;
    QObject m_receiver;  // answers of posted jobs are queued to it
    QTimer m_watch;
    std::unique_ptr<SessionWorker> m_pWorker;  // last: ends before the receiver goes
};
