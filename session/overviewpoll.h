#pragma once
// ServerOverviewPoller: reads every entry of the administration server table in the background
// for the Server Overview window: whether it answers, its level, its services running and
// failed, its profile count. Reading is all it does: no call that changes a server is made.
//
// States of an entry: Due -> Reading -> Resting -> Due. Each tick starts the due entries in the
// table's order while fewer than Timings::maxReading read at once. Reading: a session worker
// of the entry's own (session/sessionworker.h) connects and reads; the answer, applied on the
// GUI thread, leaves the entry Answers (with its facts) or Fails (with the reason, the facts of
// its last good read kept). An entry that has not answered within answerDeadline is
// NotResponding from then on, its worker aborted (its calls fail at once, so ending it does not
// wait for the network). Resting lasts readInterval, then the entry is due again. The table is
// read again at each tick that finds no entry reading, so added and removed entries follow.
//
// Threads. The poller lives on the GUI thread; only the workers' threads make calls, and their
// answers reach it queued through the application's events. None is ever waited for there
// beyond the end of an aborted or finished job. Timings are injected, so tests need no sleeps
// beyond the short ones they choose.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class SessionWorker;

struct OverviewTimings {
    std::chrono::milliseconds tick{250};
    std::chrono::milliseconds readInterval{10000};
    std::chrono::milliseconds answerDeadline{5000};
    int maxReading = 16;
};

// What a read found; counts of -1 were not read.
struct ServerFacts {
    long level = 0;
    int running = -1;
    int failed = -1;
    int profiles = -1;
};

struct OverviewRow {
    enum class Answer { Unread, Answers, Fails, NotResponding };

    std::string entry;
    Answer answer = Answer::Unread;
    QString reason;      // why it fails or does not respond
    ServerFacts facts;   // of the last read that answered
    QDateTime lastRead;  // when that was; null: never
    bool bReading = false;
};

class ServerOverviewPoller final {
public:
    // The table's entry names in its order; the registry's by default.
    using EntryReader = std::function<std::vector<std::string>()>;

    explicit ServerOverviewPoller(OverviewTimings timings = {}, EntryReader reader = {});
    ~ServerOverviewPoller();
    ServerOverviewPoller(const ServerOverviewPoller&) = delete;
    ServerOverviewPoller& operator=(const ServerOverviewPoller&) = delete;

    // Starts ticking; the first tick reads at once.
    void Start();
    // One tick; Start's timer calls it, tests may too.
    void Tick();

    const std::vector<OverviewRow>& Rows() const { return m_rows; }
    // Runs on the GUI thread after every change of the rows.
    void SetChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }
    // Ticks so far: the window's timer keeps firing while servers hang.
    long Ticks() const { return m_nTicks; }
    int Reading() const;

private:
    struct Entry;

    // Each true when the rows changed.
    bool FollowTable();
    void StartRead(Entry& entry);
    bool GiveUpLate();
    void ApplyAnswer(const std::string& name, long serial, const ServerFacts& facts,
                     const QString& failure, bool bAnswered);
    Entry* Find(const std::string& name);
    void Publish();

    const OverviewTimings m_timings;
    EntryReader m_readEntries;
    std::vector<Entry> m_entries;
    std::vector<OverviewRow> m_rows;
    std::function<void()> m_onChange;
    long m_nTicks = 0;
    long m_nNextSerial = 1;
    QTimer m_timer;
    QObject m_receiver;  // answers are queued to it; it goes after every worker has ended
};
