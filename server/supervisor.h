#pragma once
// Runs Telvane Services: executables as real child processes, DLL services as simulated state.
// Everything happens on the server's event loop: timers for start, restart and stop deadlines,
// and SIGCHLD for exits. No thread per service.
//
// States: Idle -> Starting -> Running -> Stopping -> Idle. An unexpected exit restarts the
// service up to its SVC_MaxRestarts times (Waiting in between); beyond that it rests in
// Idle [Failed]. A service marked for removal leaves the supervisor when it stops. Each start
// is held by a grip (service_grip.h): a stop signals every process the start made, and when
// the service's own process ends the rest is killed before anything else happens.

#include <sys/types.h>

#include <asio.hpp>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "s100/errors.h"
#include "s100/symbols.h"
#include "server/service_definition.h"
#include "server/service_output.h"
#include "server/service_grip.h"
#include "server/service_records.h"

namespace tlv::server {

enum class StopMode { Normal, Emergency };

// How long a started executable must stay alive before it counts as running (bounded by its
// start timeout), and the pauses the simulated and restart paths take.
struct SupervisorTimings {
    std::chrono::milliseconds startSettle{300};
    std::chrono::milliseconds restartPause{200};
    std::chrono::milliseconds dllTransition{200};
};

// How a service's process last ended.
struct LastExit {
    bool happened = false;
    int code = -1;   // -1 when killed by a signal
    int signal = 0;  // 0 when it exited by itself
    std::chrono::system_clock::time_point time{};
};

// What the supervisor knows of a service beyond its state, for the status call.
struct ServiceRuntime {
    CTsymbol state = SVC_StateIdle;
    pid_t pid = 0;  // 0 when no process runs
    int restarts = 0;  // since the last start asked for
    LastExit lastExit;
    std::vector<std::string> lastOutput;  // oldest first
};

class ServiceSupervisor final {
public:
    ServiceSupervisor(asio::io_context& io, const std::string& logPath,
                      SupervisorTimings timings = {});
    ~ServiceSupervisor();
    ServiceSupervisor(const ServiceSupervisor&) = delete;
    ServiceSupervisor& operator=(const ServiceSupervisor&) = delete;

    // The SVC_State* symbol of a service; SVC_StateIdle for one the supervisor does not hold.
    CTsymbol state(const std::string& name) const;
    bool isActive(const std::string& name) const;  // anything but Idle and Idle [Failed]
    bool isMarkedForRemoval(const std::string& name) const;
    ServiceRuntime runtime(const std::string& name) const;

    // CTerr_ServiceBusy when it is not idle; CTerr_NotFound when its executable cannot be
    // started (the service is then Idle [Failed]).
    CTerror start(const std::string& name, const ServiceDefinition& definition);
    // CTerr_InvalidArgument when it is idle; CTerr_ServiceBusy for a second normal stop.
    CTerror stop(const std::string& name, StopMode mode);

    // Keeps an active service running without a definition until it stops, then drops it.
    void markForRemoval(const std::string& name);
    // Drops an idle service's state (after its definition was removed).
    void forget(const std::string& name);

    struct Orphan {  // a service marked for removal, still running
        std::string name;
        CTsymbol state;
        ServiceDefinition definition;
    };
    std::vector<Orphan> markedForRemoval() const;

    // Records every process group and cgroup started in records from now on, and marks the
    // processes with the records' token (service_records.h); gives each start a cgroup under
    // cgroupParent when there is one.
    void recordIn(ServiceRecords& records, std::optional<std::string> cgroupParent);

    // Stops every active service; done runs once all are idle or after the deadline, with the
    // remaining processes killed.
    void shutdown(std::chrono::milliseconds deadline, std::function<void()> done);

private:
    struct Service;
    Service& entry(const std::string& name);
    Service* find(const std::string& name) const;
    void launch(Service& service);
    void becomeIdle(Service& service, bool failed);
    void onExit(Service& service, int waitStatus);
    void startFailed(Service& service, int errorNumber);
    void note(Service& service, const std::string& line);
    void schedule(Service& service, std::chrono::milliseconds after,
                  std::function<void(Service&)> action);
    void watchChildren();
    void reapChildren();
    void checkShutdownDone();
    void endTree(Service& service);
    void releaseDrained();

    asio::io_context& m_io;
    std::shared_ptr<ServiceLog> m_log;
    SupervisorTimings m_timings;
    asio::signal_set m_childSignals;
    std::map<std::string, std::unique_ptr<Service>> m_services;
    std::function<void()> m_shutdownDone;
    std::unique_ptr<asio::steady_timer> m_shutdownTimer;
    ServiceRecords* m_records = nullptr;
    ServiceGrips m_grips;
    std::vector<std::unique_ptr<ServiceGrip>> m_draining;  // killed, not yet gone
};

}  // namespace tlv::server
