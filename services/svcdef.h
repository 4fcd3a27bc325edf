#pragma once
// The service definition record: a Telvane Service as its name plus an S.100 KV set. Reading
// fills the fields of the service's kind from the set, leaving the default of every key that
// is missing or does not read; writing puts the fields back in a fixed order, each put having
// to succeed before the next. Keys of the set that are not fields stay as they were.

#include <cstdint>
#include <string>

#include "s100/names.h"
#include "s100/s100.h"

struct ServiceDefinition {
    std::string name;  // travels beside the set, never as a key of it
    CTkvs set = 0;     // owned by whoever created it
};

enum class ServiceKind { Executable, DLL, Invalid };

// SVC_Kind of the set; a missing kind or any other value is Invalid.
ServiceKind ServiceKindOf(CTkvs set);

enum class ServiceNameCheck { Ok, TooLong, HasSpace, HasNul };

// The client's own check of a name; an empty name is left to the server. A NUL byte (typed as
// an escape) cannot cross the session's C strings: the name would arrive cut short.
ServiceNameCheck CheckServiceName(const std::string& name);

// Defaults are those of a new service. bMandatory stands for SVC_StartType: a stored value
// other than SVC_Mandatory (SVC_Root included) reads as optional.
struct ExeServiceFields {
    std::string commandLine = "*.exe";
    std::string machineName;  // the caller sets the local name when the server is local
    bool bMandatory = false;
    bool bDisabled = false;
    int32_t emergencyTimeout = 120;
    bool bDetectHangs = true;
    int32_t maxRestarts = 0;
    int32_t startTimeout = 15;
    int32_t exitTimeout = 15;
    uint32_t processor = 1;
};

struct DllServiceFields {
    std::string dllPath = "*.dll";
    std::string arguments;
    std::string processName;
    bool bMandatory = false;
    bool bDisabled = false;
    int32_t emergencyTimeout = 120;
    bool bLinkEarly = false;
    bool bUnlinkLate = false;
};

void ReadExeService(CTkvs set, ExeServiceFields& fields);
void ReadDllService(CTkvs set, DllServiceFields& fields);

// False at the first put that fails; the keys put before it stay in the set.
bool WriteExeService(CTkvs set, const ExeServiceFields& fields);
bool WriteDllService(CTkvs set, const DllServiceFields& fields);

// Reads the set as its kind and writes it back, so stored values outside the client's rules
// (SVC_Root, a boolean word of 2) leave as the client would write them. False for a set of
// no valid kind or a failed put.
bool NormalizeServiceDefinition(CTkvs set);
