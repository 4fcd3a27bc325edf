#include "session/sessionworker.h"

#include <new>

SessionWorker::SessionWorker(std::shared_ptr<SessionAbortLine> abortLine)
    : m_pAbortLine(std::move(abortLine)), m_thread([this] { Run(); }) {}

SessionWorker::~SessionWorker() {
    Abort();
    {
        const std::lock_guard lock(m_mutex);
        m_bStopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void SessionWorker::Post(Job job) {
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
        ++m_nOutstanding;
    }
    m_wake.notify_one();
}

SessionWorker::Job SessionWorker::ConnectJob(const SC_String& serverEntryName,
                                             const std::string& keyFile) {
    return [name = serverEntryName, keyFile, line = m_pAbortLine](SessionSlot& session) {
        session.reset(new (std::nothrow) ECTF_AdminSession(name, line.get(), keyFile));
    };
}

int SessionWorker::Outstanding() const {
    const std::lock_guard lock(m_mutex);
    return m_nOutstanding;
}

std::optional<SessionWorker::Clock::time_point> SessionWorker::SilentSince() const {
    const std::lock_guard lock(m_mutex);
    if (!m_bRunning)
        return std::nullopt;
    return m_lastLife;
}

void SessionWorker::NoteAlive() {
    const std::lock_guard lock(m_mutex);
    m_lastLife = Clock::now();
}

void SessionWorker::Run() {
    SessionSlot session;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_bStopping || !m_jobs.empty(); });
            // Jobs left at the end still run: each holds an answer its owner may be waiting
            // for, and after the abort they end at once.
            if (m_jobs.empty())
                break;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            m_bRunning = true;
            m_lastLife = Clock::now();
        }
        job(session);
        job = nullptr;  // what the job captured goes before it counts as done
        const std::lock_guard lock(m_mutex);
        m_bRunning = false;
        --m_nOutstanding;
    }
    session.reset();  // disconnects on this thread, as it connected
}
