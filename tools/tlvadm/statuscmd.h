#pragma once
// tlvadm's status: why each named service is where it is. Text: the name, then the status
// lines indented by two blanks, services separated by an empty line. JSON: one object of flat
// typed fields per service.

#include <ostream>
#include <string>
#include <vector>

#include "s100/svcstatus.h"

class ECTF_AdminSession;

// Reports each of names that statuses leave out as "NAME: no such service"; false when any is.
bool ReportMissingServices(const std::vector<std::string>& names,
                           const std::vector<TLVserviceStatus>& statuses, std::ostream& err);

// Says that the service status could not be read: kExitUsage when the connection was lost,
// kExitRefused otherwise.
int StatusNotRead(const ECTF_AdminSession& session, std::ostream& err);

// kExitNoSuchService when a name is no service, else kExitServiceFailed when one shown is
// Idle [Failed], else kExitOk; the exits of StatusNotRead when nothing could be read.
int RunServiceStatus(ECTF_AdminSession& session, const std::vector<std::string>& names,
                     bool bJson, std::ostream& out, std::ostream& err);
