#pragma once
// The service control manager's operations on systemd's units (where systemd is the init
// system): a service is the unit UnitNameOf names, its state comes from ActiveState and SubState,
// its account and display name are a drop-in of this layer's (User=, Description=), and the
// services InstallService creates are unit files in UnitFolder(). Each change is followed by a
// reload, so systemd acts on it at once.
//
// What a unit file says beyond the account and the display name (program, start type,
// dependencies) is the unit file's: ChangeServiceConfigA refuses to change it here. A unit this
// layer did not create (the package's tlvsd.service) is never deleted. systemd reports no
// progress: the check point stays 0, the wait hint is kDefaultWaitHint.
//
// Each function returns ERROR_SUCCESS or a platform error code, with the reason in why.

#include <string>

#include "platform/scm/scmapi.h"
#include "platform/scm/servicedb.h"

namespace tlv::platform {

// The unit of the service; ERROR_SERVICE_DOES_NOT_EXIST when systemd knows no such unit.
DWORD OpenUnitService(const std::string& serviceName, std::string& unit, std::string& why);
DWORD QueryUnitService(const std::string& unit, SERVICE_STATUS& status, std::string& why);
// ERROR_SERVICE_ALREADY_RUNNING while it is active, ERROR_SERVICE_DISABLED while it is masked.
DWORD StartUnitService(const std::string& unit, std::string& why);
// ERROR_SERVICE_NOT_ACTIVE while it is stopped; the status after the request goes to status.
DWORD StopUnitService(const std::string& unit, SERVICE_STATUS& status, std::string& why);
DWORD ChangeUnitService(const std::string& unit, const ServiceChange& change, std::string& why);
// ERROR_SERVICE_EXISTS when systemd knows the unit already.
DWORD CreateUnitService(const ServiceRecord& record, std::string& why);
// ERROR_ACCESS_DENIED for a unit this layer did not create.
DWORD DeleteUnitService(const std::string& unit, std::string& why);

}  // namespace tlv::platform
