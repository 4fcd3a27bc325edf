#pragma once
// The status call: why each service is where it is (pid, restarts, last exit, last output).

#include "s100/errors.h"
#include "s100/proto/admin.pb.h"
#include "server/service_table.h"

namespace tlv::server {

// The named services in the order asked, each once (where first asked), a name that is no
// service left out; without names
// every service, by name. CTerr_StoreFailed when the definitions cannot be read.
CTerror answerServiceStatus(const ServiceTable& services, const tlv::wire::GetServiceStatus& call,
                            tlv::wire::Response& response);

}  // namespace tlv::server
