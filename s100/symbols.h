#pragma once
// The S.100 symbols (32-bit keys and values) this system uses. Their values are part of the
// server's protocol and of stored profiles: never renumber them. The name table that the text
// notation and CTsym_* use is built from this list (s100/kvs/symtable.cpp).

#include <stdint.h>

typedef uint32_t CTsymbol;

enum : CTsymbol {
    // Session options.
    KEY_ServerName = 0x00D00400,
    // Ours: with it, KEY_ServerName holds a connection string, not an entry name, and this
    // string names the admin key file (no entry, so no key file of an entry).
    KEY_AdminKeyFile = 0x00D00401,

    // Results of the administrative queries.
    KEY_ProfileNames = 0x0110080D,
    KEY_ProfileClasses = 0x0110080E,
    KEY_ProfileContents = 0x0110080F,
    KEY_ServiceNames = 0x01100810,
    KEY_ServiceStates = 0x0110082E,
    KEY_SPNames = 0x0110081A,
    KEY_SPAvailable = 0x01100819,

    // Mode of a level change and of a service stop.
    LEVEL_CHANGE_NORMAL = 0x01100827,
    LEVEL_CHANGE_EMERGENCY = 0x01100828,

    // Service states reported under KEY_ServiceStates.
    SVC_StateIdle = 0x01100913,
    SVC_StateStarting = 0x01100914,
    SVC_StateWaiting = 0x01100915,
    SVC_StateRunning = 0x01100916,
    SVC_StateStopping = 0x01100917,
    SVC_StateFailed = 0x01100918,

    // Service definition keys and values.
    SVC_Kind = 0x01100919,
    SVC_KindExecutable = 0x0110091A,
    SVC_KindDLL = 0x0110091B,
    SVC_StartType = 0x0110091E,
    SVC_Optional = 0x0110091F,
    SVC_Mandatory = 0x01100920,
    SVC_Root = 0x01100921,
    SVC_Disabled = 0x01100922,
    SVC_CommandLine = 0x01100927,
    SVC_StartTimeout = 0x01100928,
    SVC_DetectHangs = 0x0110092A,
    SVC_MaxRestarts = 0x0110092B,
    SVC_EmergencyTimeout = 0x01100932,
    SVC_ExitTimeout = 0x01100933,
    SVC_DLLPath = 0x01100946,
    SVC_Arguments = 0x01100947,
    SVC_ProcessName = 0x01100948,
    SVC_LinkEarly = 0x01100949,
    SVC_UnlinkLate = 0x01100950,
    SVC_MachineName = 0x01100962,
    SVC_Processor = 0x01100963,

    // Application profiles.
    KEY_AsiList = 0x00C00807,
    KEY_AsiName = 0x00C0080E,
    KEY_AsiGroupSet = 0x00C00808,
    KEY_AsiDefaultConfig = 0x00C00809,
    KEY_GroupSets = 0x10600813,
    KEY_Resources = 0x10600804,

    // ASI map.
    KEY_Mappings = 0x00C00813,
    KEY_MapSource = 0x00C00811,
    KEY_MapDestinations = 0x00C00812,
    KEY_EndpointProfile = 0x00C00418,
    KEY_EndpointAsi = 0x00C00419,

    // Routing rules.
    KEY_InboundRules = 0x00C0081F,
    KEY_OutboundRules = 0x00C0081E,
    KEY_RuleDevices = 0x01200407,
};
