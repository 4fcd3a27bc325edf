#include "session/overviewpoll.h"

#include <algorithm>
#include <cstring>

#include "config/srvtable.h"
#include "resources/stringtable.h"
#include "session/connectwords.h"
#include "session/listqueries.h"
#include "session/sessionworker.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> RegistryEntries() {
    std::vector<ServerEntry> entries;
    ReadServerEntries(kAdministrationTableKey, entries);
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (ServerEntry& entry : entries)
        names.push_back(std::move(entry.name));
    return names;
}

// What one read found, on the worker's thread.
struct ReadOutcome {
    bool bAnswered = false;
    ServerFacts facts;
    QString failure;
};

QString FailureOf(const CallOutcome& outcome, unsigned message) {
    return StringTable::Load(outcome.error == CTerr_ConnectionLost ? IDS_LOST_CONNECTION : message);
}

ReadOutcome ReadServer(const std::string& entry, ECTF_AdminSession* session) {
    ReadOutcome outcome;
    if (session == nullptr || !session->IsOK()) {
        // The library's words for what went wrong, as tlvadm tells them.
        const std::string reason = DescribeOpenFailure(entry).reason;
        outcome.failure = reason.empty() ? StringTable::Load(IDS_CONNECT_FAILED)
                                         : QString::fromUtf8(reason.c_str());
        return outcome;
    }
    const LevelAnswer level = QueryLevel(session);
    if (!level.ok) {
        outcome.failure = FailureOf(level, IDS_LEVEL_INFO_FAILED);
        return outcome;
    }
    outcome.facts.level = level.level;
    const ServiceListAnswer services = QueryServiceList(session);
    if (!services.ok) {
        outcome.failure = FailureOf(services, IDS_SERVICE_INFO_FAILED);
        return outcome;
    }
    outcome.facts.running = static_cast<int>(std::count(
        services.states.get(), services.states.get() + services.count, SVC_StateRunning));
    outcome.facts.failed = static_cast<int>(
        std::count(services.states.get(), services.states.get() + services.count, SVC_StateFailed));
    const ProfileListAnswer profiles = QueryProfileList(session);
    if (!profiles.ok) {
        outcome.failure = FailureOf(profiles, IDS_PROFILE_INFO_FAILED);
        return outcome;
    }
    // Service definitions are profiles too, but not the operator's.
    const char* serviceClass = StringTable::Text(IDS_TLVS_SERVICE_CLASS);
    outcome.facts.profiles = static_cast<int>(
        std::count_if(profiles.classes.get(), profiles.classes.get() + profiles.count,
                      [&](const SC_String& c) { return std::strcmp(c, serviceClass) != 0; }));
    outcome.bAnswered = true;
    return outcome;
}

}  // namespace

struct ServerOverviewPoller::Entry {
    OverviewRow row;
    std::unique_ptr<SessionWorker> worker;  // while reading
    long serial = 0;                        // of the read under way; its answer only counts
    Clock::time_point due;
    Clock::time_point deadline;
};

ServerOverviewPoller::ServerOverviewPoller(OverviewTimings timings, EntryReader reader)
    : m_timings(timings), m_readEntries(reader ? std::move(reader) : RegistryEntries) {
    m_timer.setInterval(static_cast<int>(m_timings.tick.count()));
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
}

ServerOverviewPoller::~ServerOverviewPoller() {
    // Every worker ends before the receiver of their answers goes; aborted first, none waits.
    for (Entry& entry : m_entries) {
        if (entry.worker)
            entry.worker->Abort();
    }
    m_entries.clear();
}

void ServerOverviewPoller::Start() {
    Tick();
    m_timer.start();
}

int ServerOverviewPoller::Reading() const {
    return static_cast<int>(
        std::count_if(m_entries.begin(), m_entries.end(),
                      [](const Entry& entry) { return entry.worker != nullptr; }));
}

void ServerOverviewPoller::Tick() {
    ++m_nTicks;
    bool bChanged = GiveUpLate();
    if (Reading() == 0)
        bChanged = FollowTable() || bChanged;
    const Clock::time_point now = Clock::now();
    for (Entry& entry : m_entries) {
        if (Reading() >= m_timings.maxReading)
            break;
        if (!entry.worker && entry.due <= now) {
            StartRead(entry);
            bChanged = true;
        }
    }
    if (bChanged)
        Publish();
}

bool ServerOverviewPoller::FollowTable() {
    const std::vector<std::string> names = m_readEntries();
    const bool bSame = std::equal(
        names.begin(), names.end(), m_entries.begin(), m_entries.end(),
        [](const std::string& name, const Entry& entry) { return name == entry.row.entry; });
    if (bSame)
        return false;
    std::vector<Entry> next;
    for (const std::string& name : names) {
        Entry* known = Find(name);
        if (known != nullptr) {
            next.push_back(std::move(*known));
        } else {
            next.emplace_back();
            next.back().row.entry = name;
        }
    }
    m_entries = std::move(next);
    return true;
}

void ServerOverviewPoller::StartRead(Entry& entry) {
    entry.worker = std::make_unique<SessionWorker>();
    entry.serial = m_nNextSerial++;
    entry.deadline = Clock::now() + m_timings.answerDeadline;
    entry.row.bReading = true;
    entry.worker->Post(entry.worker->ConnectJob(SC_String(entry.row.entry.c_str())));
    QObject* receiver = &m_receiver;
    entry.worker->Post([this, receiver, name = entry.row.entry,
                        serial = entry.serial](SessionWorker::SessionSlot& session) {
        const ReadOutcome outcome = ReadServer(name, session.get());
        QMetaObject::invokeMethod(
            receiver,
            [this, name, serial, outcome] {
                ApplyAnswer(name, serial, outcome.facts, outcome.failure, outcome.bAnswered);
            },
            Qt::QueuedConnection);
    });
}

bool ServerOverviewPoller::GiveUpLate() {
    bool bGaveUp = false;
    const Clock::time_point now = Clock::now();
    for (Entry& entry : m_entries) {
        if (!entry.worker || entry.deadline > now)
            continue;
        bGaveUp = true;
        entry.worker->Abort();
        entry.worker.reset();  // its aborted calls end at once
        entry.serial = 0;
        entry.row.bReading = false;
        entry.row.answer = OverviewRow::Answer::NotResponding;
        entry.row.reason =
            StringTable::Load(IDS_OVERVIEW_NO_ANSWER)
                .arg(std::chrono::duration_cast<std::chrono::seconds>(m_timings.answerDeadline)
                         .count());
        entry.due = now + m_timings.readInterval;
    }
    return bGaveUp;
}

void ServerOverviewPoller::ApplyAnswer(const std::string& name, long serial,
                                       const ServerFacts& facts, const QString& failure,
                                       bool bAnswered) {
    Entry* entry = Find(name);
    if (entry == nullptr || entry->serial != serial || !entry->worker)
        return;  // given up on, or the entry has gone
    entry->worker.reset();
    entry->serial = 0;
    entry->row.bReading = false;
    entry->row.answer = bAnswered ? OverviewRow::Answer::Answers : OverviewRow::Answer::Fails;
    entry->row.reason = failure;
    if (bAnswered) {
        entry->row.facts = facts;
        entry->row.lastRead = QDateTime::currentDateTime();
    }
    entry->due = Clock::now() + m_timings.readInterval;
    Publish();
}

ServerOverviewPoller::Entry* ServerOverviewPoller::Find(const std::string& name) {
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const Entry& entry) { return entry.row.entry == name; });
    return found == m_entries.end() ? nullptr : &*found;
}

void ServerOverviewPoller::Publish() {
    m_rows.clear();
    for (const Entry& entry : m_entries)
        m_rows.push_back(entry.row);
    if (m_onChange)
        m_onChange();
}
