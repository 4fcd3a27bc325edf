// The status call: one request, the answer's statuses copied out.
#include "s100/svcstatus.h"

#include "s100/client/call_record.h"
#include "s100/client/call_runner.h"

namespace {

TLVserviceStatus fromWire(const tlv::wire::ServiceStatus& wire) {
    TLVserviceStatus status;
    status.name = wire.name();
    status.state = wire.state();
    status.failed = wire.failed();
    status.disabled = wire.disabled();
    status.kind = wire.kind();
    status.pid = wire.pid();
    status.restarts = wire.restarts();
    status.hasExited = wire.has_exited();
    if (status.hasExited) {
        status.lastExitCode = wire.last_exit_code();
        status.lastSignal = wire.last_signal();
        status.lastExitTimeMs = wire.last_exit_time_ms();
    }
    status.lastOutput.assign(wire.last_output().begin(), wire.last_output().end());
    status.program = wire.program();
    return status;
}

}  // namespace

CTstatus TLVadm_GetServiceStatus(CTsession session, const std::vector<std::string>& names,
                                 std::vector<TLVserviceStatus>& statuses, CTevtinfo* record) {
    statuses.clear();
    tlv::wire::Request request;
    auto* call = request.mutable_get_service_status();
    for (const std::string& name : names) {
        call->add_names(name);
    }
    tlv::client::Answer answer;
    CTerror error = tlv::client::runRequest(session, request, answer);
    if (error == CTerr_NoError) {
        error = answer.error;
    }
    if (error == CTerr_NoError) {
        statuses.reserve(static_cast<std::size_t>(answer.response.statuses_size()));
        for (const tlv::wire::ServiceStatus& wire : answer.response.statuses()) {
            statuses.push_back(fromWire(wire));
        }
    }
    return tlv::client::finishCall(record, error);
}
