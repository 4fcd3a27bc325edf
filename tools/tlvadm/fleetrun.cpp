#include "tools/tlvadm/fleetrun.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tools/tlvadm/capture.h"

namespace {

using Clock = std::chrono::steady_clock;

enum class State { Waiting, Running, Done, GivenUp };

struct Slot {
    State state = State::Waiting;
    Clock::time_point deadline = Clock::time_point::max();
    CapturedStream out;
    CapturedStream err;
    std::shared_ptr<SessionAbortLine> line = std::make_shared<SessionAbortLine>();
    int status = 0;
};

class Fleet final {
public:
    Fleet(const std::vector<Target>& targets, const FleetOptions& options, const TargetJob& job)
        : m_targets(targets), m_options(options), m_job(job) {
        for (std::size_t i = 0; i < targets.size(); ++i)
            m_slots.push_back(std::make_unique<Slot>());
    }

    void Run(const TargetReport& report) {
        const std::size_t threads =
            std::min(m_targets.size(), static_cast<std::size_t>(std::max(m_options.jobs, 1)));
        std::vector<std::thread> workers;
        for (std::size_t i = 0; i < threads; ++i)
            workers.emplace_back([this] { Work(); });
        ReportInOrder(report);
        for (std::thread& worker : workers)
            worker.join();
    }

private:
    void Work() {
        for (;;) {
            std::size_t index = 0;
            {
                const std::lock_guard lock(m_mutex);
                if (m_nextToStart >= m_slots.size())
                    return;
                index = m_nextToStart++;
                Slot& slot = *m_slots[index];
                slot.state = State::Running;
                if (m_options.deadline)
                    slot.deadline = Clock::now() + *m_options.deadline;
            }
            m_changed.notify_all();  // a new deadline to watch
            Slot& slot = *m_slots[index];
            const int status = m_job(m_targets[index], slot.out, slot.err, slot.line);
            {
                const std::lock_guard lock(m_mutex);
                if (slot.state == State::Running) {
                    slot.state = State::Done;
                    slot.status = status;
                }
            }
            m_changed.notify_all();
        }
    }

    void ReportInOrder(const TargetReport& report) {
        std::unique_lock lock(m_mutex);
        for (std::size_t next = 0; next < m_slots.size();) {
            GiveUpLate();
            const Slot& slot = *m_slots[next];
            if (slot.state == State::Done || slot.state == State::GivenUp) {
                const TargetResult result{slot.status, slot.out.Text(), slot.err.Text(),
                                          slot.state == State::GivenUp};
                lock.unlock();
                report(m_targets[next], result);
                lock.lock();
                ++next;
                continue;
            }
            const Clock::time_point earliest = EarliestDeadline();
            if (earliest == Clock::time_point::max())
                m_changed.wait(lock);
            else
                m_changed.wait_until(lock, earliest);
        }
    }

    // Under the lock.
    void GiveUpLate() {
        const Clock::time_point now = Clock::now();
        for (const std::unique_ptr<Slot>& slot : m_slots) {
            if (slot->state != State::Running || slot->deadline > now)
                continue;
            slot->state = State::GivenUp;
            slot->out.Close();
            slot->err.Close();
            slot->line->Abort();
        }
    }

    // Under the lock.
    Clock::time_point EarliestDeadline() const {
        Clock::time_point earliest = Clock::time_point::max();
        for (const std::unique_ptr<Slot>& slot : m_slots) {
            if (slot->state == State::Running)
                earliest = std::min(earliest, slot->deadline);
        }
        return earliest;
    }

    const std::vector<Target>& m_targets;
    const FleetOptions& m_options;
    const TargetJob& m_job;
    std::vector<std::unique_ptr<Slot>> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_nextToStart = 0;
};

}  // namespace

void RunFleet(const std::vector<Target>& targets, const FleetOptions& options, const TargetJob& job,
              const TargetReport& report) {
    Fleet(targets, options, job).Run(report);
}
