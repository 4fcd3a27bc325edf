#pragma once
// systemd's manager (org.freedesktop.systemd1) over D-Bus: the few calls the service control
// manager needs. Each returns ERROR_SUCCESS or a platform error code, with D-Bus's own message in
// why; a call that gets no answer within 10 s fails.
//
// The bus is $TLV_SYSTEMD_BUS when set (tests point it at a private bus), else the system bus.

#include <string>

#include "platform/registry/regapi.h"

namespace tlv::platform {

// Whether the service control manager acts on systemd's units: $TLV_SERVICE_MANAGER "systemd"
// or "registry" decides; otherwise systemd is used when it is the init system (as sd_booted()
// tells it: /run/systemd/system is a folder).
bool UsesSystemd();

struct UnitState {
    std::string loadState;    // "loaded", "not-found", "masked", ...
    std::string activeState;  // "active", "inactive", "activating", "deactivating", "failed", ...
    std::string subState;     // "running", "dead", "auto-restart", ...
};

DWORD LoadUnit(const std::string& unit, UnitState& state, std::string& why);
DWORD StartUnit(const std::string& unit, std::string& why);
DWORD StopUnit(const std::string& unit, std::string& why);
// Makes systemd read the unit files again.
DWORD ReloadUnits(std::string& why);
// Enables (or disables) the unit file for the next boot.
DWORD EnableUnitFile(const std::string& unit, bool enable, std::string& why);

}  // namespace tlv::platform
