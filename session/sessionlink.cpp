#include "session/sessionlink.h"

#include <optional>

#include "framework/waitcursor.h"
#include "framework/waitloop.h"
#include "resources/stringtable.h"

SessionLink::SessionLink(QString entryText, QString caption,
                         std::shared_ptr<SessionAbortLine> abortLine)
    : m_strEntry(std::move(entryText)),
      m_strCaption(std::move(caption)),
      m_pWorker(std::make_unique<SessionWorker>(std::move(abortLine))) {
    m_watch.setInterval(kWatchIntervalMs);
    QObject::connect(&m_watch, &QTimer::timeout, [this] { Watch(); });
}

SessionLink::~SessionLink() {
    // Aborted first, the job running now ends at once; the receiver then drops the answers.
    m_pWorker.reset();
}

void SessionLink::Post(SessionWorker::Job job, std::function<void()> answer) {
    QObject* receiver = &m_receiver;
    // The worker, not the link's pointer to it: that is emptied while the worker ends.
    SessionWorker* worker = m_pWorker.get();
    m_pWorker->Post([job = std::move(job), answer = std::move(answer), receiver, worker,
                     this](SessionWorker::SessionSlot& session) {
        job(session);
        worker->NoteAlive();  // the answer is in: silent no more
        // The receiver lives until the worker has ended, so it is there to take this.
        QMetaObject::invokeMethod(
            receiver,
            [answer, this] {
                Watch();
                answer();
            },
            Qt::QueuedConnection);
    });
    StartWatching();
}

SessionLink::Waited SessionLink::Await(SessionWorker::Job job, bool bWaitCursor,
                                       const Progress& progress) {
    const auto completion = std::make_shared<WaitCompletion>();
    SessionWorker* worker = m_pWorker.get();
    m_pWorker->Post(
        [job = std::move(job), completion, worker](SessionWorker::SessionSlot& session) {
            job(session);
            worker->NoteAlive();
            completion->Finish();
        });
    StartWatching();
    std::optional<CWaitCursor> cursor;
    if (bWaitCursor)
        cursor.emplace();
    CWaitLoop loop(m_strCaption,
                   [this, &progress](int seconds) { return BoxText(seconds, progress); });
    const CWaitLoop::Outcome outcome = loop.Run(*completion);
    if (outcome == CWaitLoop::Outcome::Cancelled) {
        m_pWorker->Abort();
        CWaitLoop::RunToEnd(*completion);
    }
    Watch();
    return outcome == CWaitLoop::Outcome::Cancelled ? Waited::Cancelled : Waited::Done;
}

QString SessionLink::BoxText(int seconds, const Progress& progress) const {
    QString text = StringTable::Load(IDS_WAITING_FOR).arg(m_strEntry) + QLatin1Char('\n') +
                   StringTable::Load(IDS_WAITING_SECONDS).arg(seconds);
    const QString done = progress ? progress() : QString();
    if (!done.isEmpty())
        text += QLatin1Char('\n') + done;
    return text;
}

void SessionLink::StartWatching() {
    // Without the application's events there is no window to tell.
    if (!m_watch.isActive() && CWaitLoop::HasApplicationEvents())
        m_watch.start();
}

void SessionLink::Watch() {
    const std::optional<SessionWorker::Clock::time_point> since = m_pWorker->SilentSince();
    const auto silent =
        since ? SessionWorker::Clock::now() - *since : SessionWorker::Clock::duration::zero();
    const bool bNotResponding = silent >= std::chrono::milliseconds(kSilenceMs);
    if (m_pWorker->Outstanding() == 0)
        m_watch.stop();
    if (bNotResponding == m_bNotResponding)
        return;
    m_bNotResponding = bNotResponding;
    m_silentSince =
        bNotResponding ? QDateTime::currentDateTime().addMSecs(
                             -std::chrono::duration_cast<std::chrono::milliseconds>(silent).count())
                       : QDateTime();
    if (m_onResponsiveness)
        m_onResponsiveness();
}
