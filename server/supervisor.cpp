#include "server/supervisor.h"

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "server/process.h"

namespace tlv::server {
namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds seconds(int count) {
    return std::chrono::milliseconds{static_cast<long long>(count) * 1000};
}

bool isIdleState(CTsymbol state) {
    return state == SVC_StateIdle || state == SVC_StateFailed;
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
    bool marked = false;
    Clock::time_point killAt{};
    asio::steady_timer timer;
    unsigned generation = 0;  // bumped to void any scheduled action
};

ServiceSupervisor::ServiceSupervisor(asio::io_context& io, std::string logPath,
                                     SupervisorTimings timings)
    : m_io(io), m_logPath(std::move(logPath)), m_timings(timings), m_childSignals(io, SIGCHLD) {
    watchChildren();
}

ServiceSupervisor::~ServiceSupervisor() {
    // Nothing outlives the server: whatever still runs is killed and reaped.
    for (auto& [name, service] : m_services) {
        if (service->pid > 0) {
            kill(-service->pid, SIGKILL);
            waitpid(service->pid, nullptr, 0);
        }
    }
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
        schedule(service, m_timings.dllTransition, [](Service& s) { s.state = SVC_StateRunning; });
        return;
    }
    int errorNumber = 0;
    const pid_t pid = spawnService(service.definition.commandLine, m_logPath, errorNumber);
    if (pid < 0) {
        std::fprintf(stderr, "tlvsd: service %s cannot start: %s\n", service.name.c_str(),
                     std::strerror(errorNumber));
        becomeIdle(service, true);
        return;
    }
    if (m_records != nullptr) {
        m_records->add(pid);
    }
    service.pid = pid;
    service.state = SVC_StateStarting;
    const auto settle =
        std::min(m_timings.startSettle, seconds(service.definition.startTimeoutSeconds));
    schedule(service, settle, [](Service& s) { s.state = SVC_StateRunning; });
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
            schedule(*service, killAfter, [](Service& s) { kill(-s.pid, SIGKILL); });
        }
        return CTerr_NoError;
    }
    if (service->state == SVC_StateWaiting) {
        becomeIdle(*service, false);
        return CTerr_NoError;
    }
    service->state = SVC_StateStopping;
    if (definition.kind == SVC_KindDLL) {
        schedule(*service, m_timings.dllTransition, [this](Service& s) { becomeIdle(s, false); });
        return CTerr_NoError;
    }
    kill(-service->pid, SIGTERM);
    service->killAt = Clock::now() + killAfter;
    schedule(*service, killAfter, [](Service& s) { kill(-s.pid, SIGKILL); });
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
    if (service.pid > 0) {
        kill(-service.pid, SIGKILL);  // whatever the service left behind in its group
        service.pid = -1;
    }
    service.state = failed ? SVC_StateFailed : SVC_StateIdle;
    if (service.marked) {
        m_services.erase(service.name);  // service is gone from here on
    }
    checkShutdownDone();
}

void ServiceSupervisor::onExit(Service& service) {
    service.pid = -1;
    if (service.state == SVC_StateStopping || service.marked) {
        becomeIdle(service, false);
        return;
    }
    if (service.restartsUsed >= service.definition.maxRestarts || m_shutdownDone) {
        becomeIdle(service, true);
        return;
    }
    ++service.restartsUsed;
    service.state = SVC_StateWaiting;
    schedule(service, m_timings.restartPause, [this](Service& s) { launch(s); });
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
            onExit(*it->second);
        }
    }
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
                kill(-service->pid, SIGKILL);
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
