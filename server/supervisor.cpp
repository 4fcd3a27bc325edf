#include "server/supervisor.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "server/log.h"
#include "server/process.h"

namespace tlv::server {
namespace {

using Clock = std::chrono::steady_clock;

// How long the server, ending, waits for the last processes of its services to be gone.
constexpr int kFinalReapRounds = 50;
constexpr useconds_t kFinalReapPauseMicroseconds = 10000;

std::chrono::milliseconds seconds(int count) {
    return std::chrono::milliseconds{static_cast<long long>(count) * 1000};
}

bool isIdleState(CTsymbol state) {
    return state == SVC_StateIdle || state == SVC_StateFailed;
}

LastExit exitOf(int waitStatus) {
    LastExit exit;
    exit.happened = true;
    exit.time = std::chrono::system_clock::now();
    if (WIFSIGNALED(waitStatus)) {
        exit.signal = WTERMSIG(waitStatus);
    } else {
        exit.code = WEXITSTATUS(waitStatus);
    }
    return exit;
}

// "exited with code 3" or "killed by signal 9"
std::string describe(const LastExit& exit) {
    return exit.signal != 0 ? "killed by signal " + std::to_string(exit.signal)
                            : "exited with code " + std::to_string(exit.code);
}

}  // namespace

struct ServiceSupervisor::Service {
    Service(asio::io_context& io, std::string serviceName)
        : name(std::move(serviceName)), timer(io) {}
    std::string name;
    CTsymbol state = SVC_StateIdle;
    ServiceDefinition definition;
    pid_t pid = -1;
    int restartsUsed = 0;
    LastExit lastExit;
    std::shared_ptr<OutputTail> tail = std::make_shared<OutputTail>();
    std::shared_ptr<OutputCapture> capture;  // while a process runs
    std::unique_ptr<ServiceGrip> grip;       // of the last start, until its processes are gone
    bool marked = false;
    Clock::time_point killAt{};
    asio::steady_timer timer;
    unsigned generation = 0;  // bumped to void any scheduled action
};

ServiceSupervisor::ServiceSupervisor(asio::io_context& io, const std::string& logPath,
                                     SupervisorTimings timings)
    : m_io(io),
      m_log(std::make_shared<ServiceLog>(logPath)),
      m_timings(timings),
      m_childSignals(io, SIGCHLD) {
    watchChildren();
}

ServiceSupervisor::~ServiceSupervisor() {
    // Nothing outlives the server: whatever still runs is killed and reaped.
    for (auto& [name, service] : m_services) {
        if (service->grip) {
            service->grip->signalAll(SIGKILL);
            m_draining.push_back(std::move(service->grip));
        }
        if (service->pid > 0) {
            waitpid(service->pid, nullptr, 0);
        }
        if (service->capture) {
            service->capture->close();
        }
    }
    // Orphans the services left are ours to reap (child subreaper) before their cgroups go.
    for (int round = 0; round < kFinalReapRounds && !m_draining.empty(); ++round) {
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        releaseDrained();
        if (!m_draining.empty()) {
            usleep(kFinalReapPauseMicroseconds);
        }
    }
}

void ServiceSupervisor::recordIn(ServiceRecords& records,
                                 std::optional<std::string> cgroupParent) {
    m_records = &records;
    m_grips.configure(records.token(), std::move(cgroupParent));
}

ServiceSupervisor::Service* ServiceSupervisor::find(const std::string& name) const {
    const auto it = m_services.find(name);
    return it == m_services.end() ? nullptr : it->second.get();
}

ServiceSupervisor::Service& ServiceSupervisor::entry(const std::string& name) {
    std::unique_ptr<Service>& slot = m_services[name];
    if (!slot) {
        slot = std::make_unique<Service>(m_io, name);
    }
    return *slot;
}

CTsymbol ServiceSupervisor::state(const std::string& name) const {
    const Service* service = find(name);
    return service == nullptr ? SVC_StateIdle : service->state;
}

bool ServiceSupervisor::isActive(const std::string& name) const {
    return !isIdleState(state(name));
}

bool ServiceSupervisor::isMarkedForRemoval(const std::string& name) const {
    const Service* service = find(name);
    return service != nullptr && service->marked;
}

ServiceRuntime ServiceSupervisor::runtime(const std::string& name) const {
    ServiceRuntime runtime;
    const Service* service = find(name);
    if (service == nullptr) {
        return runtime;
    }
    runtime.state = service->state;
    runtime.pid = service->pid > 0 ? service->pid : 0;
    runtime.restarts = service->restartsUsed;
    runtime.lastExit = service->lastExit;
    runtime.lastOutput.assign(service->tail->lines().begin(), service->tail->lines().end());
    return runtime;
}

CTerror ServiceSupervisor::start(const std::string& name, const ServiceDefinition& definition) {
    if (isActive(name)) {
        return CTerr_ServiceBusy;
    }
    Service& service = entry(name);
    service.definition = definition;
    service.restartsUsed = 0;
    launch(service);
    return service.state == SVC_StateFailed ? CTerr_NotFound : CTerr_NoError;
}

void ServiceSupervisor::launch(Service& service) {
    if (service.definition.kind == SVC_KindDLL) {
        service.state = SVC_StateStarting;
        logEvent("service %s starting (DLL, simulated)", printable(service.name).c_str());
        schedule(service, m_timings.dllTransition, [](Service& s) { s.state = SVC_StateRunning; });
        return;
    }
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        startFailed(service, errno);
        return;
    }
    std::unique_ptr<ServiceGrip> grip = m_grips.make();
    if (m_records != nullptr && !grip->cgroup().empty()) {
        m_records->addCgroup(grip->cgroup());
    }
    int errorNumber = 0;
    const pid_t pid = spawnService(service.definition.commandLine, pipeEnds[1],
                                   {grip->mark(), grip->cgroup()}, errorNumber);
    ::close(pipeEnds[1]);
    grip->setLeader(pid);
    service.grip = std::move(grip);
    if (pid < 0) {
        ::close(pipeEnds[0]);
        endTree(service);
        startFailed(service, errorNumber);
        return;
    }
    service.capture =
        std::make_shared<OutputCapture>(m_io, pipeEnds[0], service.name, m_log, service.tail);
    service.capture->start();
    if (m_records != nullptr) {
        m_records->add(pid);
    }
    service.pid = pid;
    service.state = SVC_StateStarting;
    logEvent("service %s started: %s (pid %d)", printable(service.name).c_str(),
             printable(programOf(service.definition.commandLine), kShownPathBytes).c_str(), pid);
    const auto settle =
        std::min(m_timings.startSettle, seconds(service.definition.startTimeoutSeconds));
    schedule(service, settle, [](Service& s) { s.state = SVC_StateRunning; });
}

void ServiceSupervisor::startFailed(Service& service, int errorNumber) {
    const std::string program = programOf(service.definition.commandLine);
    logEvent("service %s failed: cannot start %s: %s", printable(service.name).c_str(),
             printable(program, kShownPathBytes).c_str(), std::strerror(errorNumber));
    note(service, "cannot start " + program + ": " + std::strerror(errorNumber));
    becomeIdle(service, true);
}

// A line of the server's own about the service, among the service's output.
void ServiceSupervisor::note(Service& service, const std::string& line) {
    const std::string text = "tlvsd: " + line;
    m_log->write(service.name, text);
    service.tail->append(text);
}

CTerror ServiceSupervisor::stop(const std::string& name, StopMode mode) {
    Service* service = find(name);
    if (service == nullptr || isIdleState(service->state)) {
        return CTerr_InvalidArgument;
    }
    const ServiceDefinition& definition = service->definition;
    // An emergency stop never waits longer than a normal one would.
    const auto killAfter =
        mode == StopMode::Emergency
            ? seconds(std::min(definition.emergencyTimeoutSeconds, definition.exitTimeoutSeconds))
            : seconds(definition.exitTimeoutSeconds);
    if (service->state == SVC_StateStopping) {
        if (mode == StopMode::Normal) {
            return CTerr_ServiceBusy;
        }
        if (service->pid > 0 && Clock::now() + killAfter < service->killAt) {
            service->killAt = Clock::now() + killAfter;
            schedule(*service, killAfter, [](Service& s) { s.grip->signalAll(SIGKILL); });
        }
        return CTerr_NoError;
    }
    logEvent("service %s stopping (%s)", printable(name).c_str(),
             mode == StopMode::Emergency ? "emergency" : "normal");
    if (service->state == SVC_StateWaiting) {
        becomeIdle(*service, false);
        return CTerr_NoError;
    }
    service->state = SVC_StateStopping;
    if (definition.kind == SVC_KindDLL) {
        schedule(*service, m_timings.dllTransition, [this](Service& s) {
            logEvent("service %s stopped", printable(s.name).c_str());
            becomeIdle(s, false);
        });
        return CTerr_NoError;
    }
    service->grip->signalAll(SIGTERM);
    service->killAt = Clock::now() + killAfter;
    schedule(*service, killAfter, [](Service& s) { s.grip->signalAll(SIGKILL); });
    return CTerr_NoError;
}

void ServiceSupervisor::markForRemoval(const std::string& name) {
    if (Service* service = find(name)) {
        service->marked = true;
    }
}

void ServiceSupervisor::forget(const std::string& name) {
    if (!isActive(name)) {
        m_services.erase(name);
    }
}

std::vector<ServiceSupervisor::Orphan> ServiceSupervisor::markedForRemoval() const {
    std::vector<Orphan> orphans;
    for (const auto& [name, service] : m_services) {
        if (service->marked) {
            orphans.push_back({name, service->state, service->definition});
        }
    }
    return orphans;
}

void ServiceSupervisor::becomeIdle(Service& service, bool failed) {
    ++service.generation;
    service.timer.cancel();
    service.pid = -1;
    endTree(service);
    if (service.capture) {
        service.capture->close();
        service.capture.reset();
    }
    service.state = failed ? SVC_StateFailed : SVC_StateIdle;
    if (service.marked) {
        m_services.erase(service.name);  // service is gone from here on
    }
    checkShutdownDone();
}

void ServiceSupervisor::onExit(Service& service, int waitStatus) {
    service.pid = -1;
    service.lastExit = exitOf(waitStatus);
    if (service.capture) {
        service.capture->drain();  // its last words come before the news of its end
    }
    const std::string shownName = printable(service.name);
    const char* name = shownName.c_str();
    const std::string program =
        printable(programOf(service.definition.commandLine), kShownPathBytes);
    const std::string how = describe(service.lastExit);
    if (service.state == SVC_StateStopping || service.marked) {
        logEvent("service %s stopped: %s %s", name, program.c_str(), how.c_str());
        becomeIdle(service, false);
        return;
    }
    if (service.restartsUsed >= service.definition.maxRestarts || m_shutdownDone) {
        logEvent("service %s failed: %s %s after %d restarts", name, program.c_str(), how.c_str(),
                 service.restartsUsed);
        becomeIdle(service, true);
        return;
    }
    ++service.restartsUsed;
    logEvent("service %s exited: %s %s; restart %d of %d", name, program.c_str(), how.c_str(),
             service.restartsUsed, service.definition.maxRestarts);
    if (service.capture) {
        service.capture->close();
        service.capture.reset();
    }
    endTree(service);  // a restart never runs beside what the last start left
    service.state = SVC_StateWaiting;
    schedule(service, m_timings.restartPause, [this](Service& s) { launch(s); });
}

// Whatever the last start left behind, wherever it went, is killed; its grip is kept until
// those processes are gone and reaped.
void ServiceSupervisor::endTree(Service& service) {
    if (!service.grip) {
        return;
    }
    service.grip->signalAll(SIGKILL);
    m_draining.push_back(std::move(service.grip));
    releaseDrained();
}

void ServiceSupervisor::releaseDrained() {
    std::erase_if(m_draining, [this](const std::unique_ptr<ServiceGrip>& grip) {
        if (!grip->release()) {
            return false;
        }
        if (m_records != nullptr && !grip->cgroup().empty()) {
            m_records->forgetCgroup(grip->cgroup());
        }
        return true;
    });
}

void ServiceSupervisor::schedule(Service& service, std::chrono::milliseconds after,
                                 std::function<void(Service&)> action) {
    const unsigned generation = ++service.generation;
    service.timer.expires_after(after);
    service.timer.async_wait([this, name = service.name, generation,
                              action = std::move(action)](const asio::error_code& error) {
        Service* current = find(name);
        if (error || current == nullptr || current->generation != generation) {
            return;
        }
        action(*current);
    });
}

void ServiceSupervisor::watchChildren() {
    m_childSignals.async_wait([this](const asio::error_code& error, int) {
        if (error) {
            return;
        }
        reapChildren();
        watchChildren();
    });
}

void ServiceSupervisor::reapChildren() {
    int status = 0;
    pid_t pid = 0;
    while ((pid = waitpid(-1, &status, WNOHANG)) > 0) {
        const auto it = std::find_if(m_services.begin(), m_services.end(),
                                     [pid](const auto& item) { return item.second->pid == pid; });
        if (it != m_services.end()) {
            onExit(*it->second, status);
        }
    }
    releaseDrained();
}

void ServiceSupervisor::shutdown(std::chrono::milliseconds deadline, std::function<void()> done) {
    m_shutdownDone = std::move(done);
    std::vector<std::string> active;
    for (const auto& [name, service] : m_services) {
        if (!isIdleState(service->state)) {
            active.push_back(name);
        }
    }
    for (const std::string& name : active) {
        stop(name, StopMode::Normal);
    }
    m_shutdownTimer = std::make_unique<asio::steady_timer>(m_io, deadline);
    m_shutdownTimer->async_wait([this](const asio::error_code& error) {
        if (error) {
            return;
        }
        for (auto& [name, service] : m_services) {
            if (service->pid > 0) {
                service->grip->signalAll(SIGKILL);
            }
        }
    });
    checkShutdownDone();
}

void ServiceSupervisor::checkShutdownDone() {
    if (!m_shutdownDone) {
        return;
    }
    const bool allIdle = std::all_of(m_services.begin(), m_services.end(), [](const auto& item) {
        return isIdleState(item.second->state);
    });
    if (allIdle) {
        auto done = std::move(m_shutdownDone);
        m_shutdownDone = nullptr;
        if (m_shutdownTimer) {
            m_shutdownTimer->cancel();
        }
        asio::post(m_io, std::move(done));
    }
}

}  // namespace tlv::server
