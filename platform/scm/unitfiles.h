#pragma once
// systemd's names and files for services of the service control manager: the unit a service
// name stands for, the unit file InstallService writes, and the drop-in ChangeService writes.
//
// Everything written comes from callers' fields, and a unit file is read by systemd as root:
// a field with a control character (a line break would start a directive of its own) is
// refused, '%' and '$' are written so that systemd takes them literally, and the program must
// be an absolute path, so no prefix of systemd's ('-', '@', '+', '!', ':') can reach it.

#include <optional>
#include <string>

namespace tlv::platform {

// "TLVS Server" is the package's tlvsd.service; any other name is escaped as systemd-escape
// does ("Voice Mail" -> "Voice\x20Mail.service").
std::string UnitNameOf(const std::string& serviceName);

// The folder of the administrator's units: $TLV_SYSTEMD_UNIT_DIR, else /etc/systemd/system.
std::string UnitFolder();

struct UnitSettings {
    std::string description;
    std::string user;  // empty: the unit's own choice (the system account)
};

// The drop-in's text; empty when a field cannot be written safely.
std::optional<std::string> DropInText(const UnitSettings& settings);
// The settings of a drop-in this layer wrote; fields it does not hold stay empty.
UnitSettings ParseDropIn(const std::string& text);

struct UnitFileSettings {
    UnitSettings settings;
    std::string commandLine;  // split at blanks, as the service database's "ImagePath"
    std::string dependency;   // a service name, or empty
};

// The unit file's text; empty when a field cannot be written safely.
std::optional<std::string> UnitFileText(const UnitFileSettings& unit);

// Whether a unit file's text is one UnitFileText wrote.
bool IsWrittenHere(const std::string& unitFileText);

}  // namespace tlv::platform
