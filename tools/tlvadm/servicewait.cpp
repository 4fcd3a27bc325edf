#include "tools/tlvadm/servicewait.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "platform/text/shownbytes.h"
#include "session/admsess.h"
#include "session/displaytexts.h"
#include "session/listqueries.h"
#include "session/servicestatus.h"
#include "tools/tlvadm/statuscmd.h"

namespace {

using tlv::platform::ShownBytes;

using Clock = std::chrono::steady_clock;

constexpr auto kPollInterval = std::chrono::milliseconds(200);
constexpr int kMandatoryLevel = 2;
constexpr int kOptionalLevel = 3;

enum class Progress { Pending, Reached, Failed };

Progress ProgressOf(const TLVserviceStatus& status, WaitTarget target) {
    switch (status.state) {
        case SVC_StateRunning:
            return target == WaitTarget::Running ? Progress::Reached : Progress::Pending;
        case SVC_StateIdle:
        case SVC_StateFailed:
            return target == WaitTarget::Stopped ? Progress::Reached : Progress::Failed;
        default:
            return Progress::Pending;
    }
}

// Every service of the level group that a change from one level to another starts (running)
// or stops, from the service list.
struct LevelTargets {
    std::vector<std::string> toRun;
    std::vector<std::string> toStop;
};

bool IsMandatory(unsigned long type) {
    return type == SVC_Mandatory || type == SVC_Root;
}

bool ReadLevelTargets(ECTF_AdminSession& session, long from, long to, LevelTargets& targets) {
    const ServiceListAnswer services = QueryServiceList(&session);
    if (!services.ok)
        return false;
    for (int i = 0; i < services.count; ++i) {
        const int groupLevel = IsMandatory(services.types[i]) ? kMandatoryLevel : kOptionalLevel;
        const char* const name = services.names[i];
        if (from < groupLevel && to >= groupLevel && services.disabled[i] == 0)
            targets.toRun.emplace_back(name);
        if (from >= groupLevel && to < groupLevel)
            targets.toStop.emplace_back(name);
    }
    return true;
}

// Why a service failed: its last exit and its last output lines.
void PrintFailure(const TLVserviceStatus& status, std::ostream& err) {
    const QString exit = LastExitText(status);
    err << "tlvadm: " << ShownBytes(status.name) << " failed" << (exit.isEmpty() ? "" : ": ")
        << exit.toLatin1().constData() << '\n';
    for (const std::string& line : status.lastOutput)
        err << "tlvadm:   " << ShownBytes(line) << '\n';
}

}  // namespace

int WaitForServices(ECTF_AdminSession& session, const std::vector<std::string>& names,
                    WaitTarget target, std::chrono::seconds timeout, std::ostream& err) {
    const DisplayTexts texts = DisplayTexts::Load();
    const Clock::time_point deadline = Clock::now() + timeout;
    std::vector<std::string> pending = names;
    int result = kExitOk;
    for (;;) {
        std::vector<TLVserviceStatus> statuses;
        if (!session.GetServiceStatus(pending, statuses))
            return StatusNotRead(session, err);
        std::vector<std::string> still;
        for (const TLVserviceStatus& status : statuses) {
            const Progress progress = ProgressOf(status, target);
            if (progress == Progress::Pending) {
                still.push_back(status.name);
            } else if (progress == Progress::Failed) {
                PrintFailure(status, err);
                result = kExitRefused;
            }
        }
        if (!ReportMissingServices(pending, statuses, err))
            result = kExitRefused;
        pending = std::move(still);
        if (pending.empty())
            return result;
        if (Clock::now() >= deadline) {
            for (const TLVserviceStatus& status : statuses) {
                if (std::find(pending.begin(), pending.end(), status.name) != pending.end())
                    err << "tlvadm: " << ShownBytes(status.name) << ": still "
                        << StateText(texts, status.state).toLatin1().constData() << " after "
                        << timeout.count() << " s\n";
            }
            return kExitRefused;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

int WaitForLevel(ECTF_AdminSession& session, long from, long to, std::chrono::seconds timeout,
                 std::ostream& err) {
    const Clock::time_point deadline = Clock::now() + timeout;
    LevelTargets targets;
    if (!ReadLevelTargets(session, from, to, targets))
        return StatusNotRead(session, err);
    int result = kExitOk;
    if (!targets.toRun.empty())
        result = WaitForServices(session, targets.toRun, WaitTarget::Running, timeout, err);
    if (result == kExitUsage || targets.toStop.empty())
        return result;
    const auto left = std::chrono::duration_cast<std::chrono::seconds>(deadline - Clock::now());
    const int stopped = WaitForServices(session, targets.toStop, WaitTarget::Stopped,
                                        std::max(left, std::chrono::seconds(1)), err);
    return std::max(result, stopped);
}
