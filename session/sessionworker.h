#pragma once
// SessionWorker: the thread that makes every call of one session, one job at a time, in the
// order the jobs were posted, so the thread that owns the worker (a program's GUI thread) never
// waits on the network.
//
// Threads. The owner's thread makes and destroys the worker and posts its jobs. The worker's
// own thread runs them; it alone creates the session (a job that connects puts it into the
// slot), uses it and destroys it, when the worker ends. A job hands its answer back through
// whatever it captured; how the answer reaches the owner's thread is the owner's business
// (session/sessionlink.h queues it onto the GUI thread).
//
// Abort, from any thread, ends the connect or call waiting now and every later one as a lost
// connection (session/abortline.h): jobs still run, in order, and fail at once. The destructor
// aborts and then joins, so it never waits for the network, only for the job running now to
// see its call fail. No Qt here.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "session/abortline.h"
#include "session/admsess.h"

class SessionWorker final {
public:
    using Clock = std::chrono::steady_clock;
    // The worker thread's session, empty until a job connected it.
    using SessionSlot = std::unique_ptr<ECTF_AdminSession>;
    using Job = std::function<void(SessionSlot& session)>;

    // abortLine: shared with whoever else may end the session's waiting (a deadline of the
    // owner's); a line of its own when none is given.
    explicit SessionWorker(
        std::shared_ptr<SessionAbortLine> abortLine = std::make_shared<SessionAbortLine>());
    ~SessionWorker();
    SessionWorker(const SessionWorker&) = delete;
    SessionWorker& operator=(const SessionWorker&) = delete;

    // Queues the job behind those posted before it.
    void Post(Job job);

    // A job that connects to the server entry: the new session, made so that Abort reaches
    // its connect, goes into the slot (a failed one too: IsOK tells; none when it could not be
    // allocated). With a key file, the name is a connection string (ECTF_AdminSession).
    Job ConnectJob(const SC_String& serverEntryName, const std::string& keyFile = {});

    void Abort() { m_pAbortLine->Abort(); }
    bool IsAborted() const { return m_pAbortLine->IsAborted(); }

    // Jobs posted and not finished.
    int Outstanding() const;
    // While a job runs: when it started, or when it last showed a sign of life (NoteAlive),
    // whichever is later; nothing while the worker is idle.
    std::optional<Clock::time_point> SilentSince() const;
    // Called by a long job (on the worker thread) each time it makes progress.
    void NoteAlive();

private:
    void Run();

    const std::shared_ptr<SessionAbortLine> m_pAbortLine;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_bStopping = false;
    bool m_bRunning = false;  // a job is running now
    int m_nOutstanding = 0;
    Clock::time_point m_lastLife;
    std::thread m_thread;  // last: started once everything above exists
};
