#include "server/service_status.h"

#include <algorithm>

#include "server/process.h"

namespace tlv::server {
namespace {

void fill(const ServiceTable::NamedDefinition& service, const ServiceSupervisor& supervisor,
          tlv::wire::ServiceStatus& status) {
    const auto& [name, definition] = service;
    const ServiceRuntime runtime = supervisor.runtime(name);
    status.set_name(name);
    status.set_state(runtime.state);
    status.set_failed(runtime.state == SVC_StateFailed);
    status.set_disabled(definition.disabled);
    status.set_kind(definition.kind);
    status.set_pid(runtime.pid);
    status.set_restarts(static_cast<std::uint32_t>(runtime.restarts));
    status.set_has_exited(runtime.lastExit.happened);
    if (runtime.lastExit.happened) {
        status.set_last_exit_code(runtime.lastExit.code);
        status.set_last_signal(runtime.lastExit.signal);
        status.set_last_exit_time_ms(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         runtime.lastExit.time.time_since_epoch())
                                         .count());
    }
    for (const std::string& line : runtime.lastOutput) {
        status.add_last_output(line);
    }
    status.set_program(programOf(definition.commandLine));
}

}  // namespace

CTerror answerServiceStatus(const ServiceTable& services, const tlv::wire::GetServiceStatus& call,
                            tlv::wire::Response& response) {
    std::vector<ServiceTable::NamedDefinition> all;
    if (!services.listDefinitions(all)) {
        return CTerr_StoreFailed;
    }
    if (call.names().empty()) {
        for (const auto& service : all) {
            fill(service, services.supervisor(), *response.add_statuses());
        }
        return CTerr_NoError;
    }
    // A name asked again adds nothing, so the answer never outgrows the services there are.
    std::vector<bool> answered(all.size(), false);
    for (const std::string& name : call.names()) {
        const auto found = std::lower_bound(
            all.begin(), all.end(), name,
            [](const ServiceTable::NamedDefinition& item, const std::string& key) {
                return item.first < key;
            });
        if (found == all.end() || found->first != name) {
            continue;
        }
        const auto index = static_cast<std::size_t>(found - all.begin());
        if (!answered[index]) {
            answered[index] = true;
            fill(*found, services.supervisor(), *response.add_statuses());
        }
    }
    return CTerr_NoError;
}

}  // namespace tlv::server
