#include "s100/kvs/symtable.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace s100 {
namespace {

struct NamedSymbol {
    const char* name;
    CTsymbol value;
};

#define TLV_SYMBOL(name) \
    NamedSymbol {        \
#name, name      \
    }

// Keep in step with s100/symbols.h: a symbol missing here cannot be written by name.
constexpr std::array kSymbols = {
    TLV_SYMBOL(KEY_ServerName),
    TLV_SYMBOL(KEY_AdminKeyFile),
    TLV_SYMBOL(KEY_ProfileNames),
    TLV_SYMBOL(KEY_ProfileClasses),
    TLV_SYMBOL(KEY_ProfileContents),
    TLV_SYMBOL(KEY_ServiceNames),
    TLV_SYMBOL(KEY_ServiceStates),
    TLV_SYMBOL(KEY_SPNames),
    TLV_SYMBOL(KEY_SPAvailable),
    TLV_SYMBOL(LEVEL_CHANGE_NORMAL),
    TLV_SYMBOL(LEVEL_CHANGE_EMERGENCY),
    TLV_SYMBOL(SVC_StateIdle),
    TLV_SYMBOL(SVC_StateStarting),
    TLV_SYMBOL(SVC_StateWaiting),
    TLV_SYMBOL(SVC_StateRunning),
    TLV_SYMBOL(SVC_StateStopping),
    TLV_SYMBOL(SVC_StateFailed),
    TLV_SYMBOL(SVC_Kind),
    TLV_SYMBOL(SVC_KindExecutable),
    TLV_SYMBOL(SVC_KindDLL),
    TLV_SYMBOL(SVC_StartType),
    TLV_SYMBOL(SVC_Optional),
    TLV_SYMBOL(SVC_Mandatory),
    TLV_SYMBOL(SVC_Root),
    TLV_SYMBOL(SVC_Disabled),
    TLV_SYMBOL(SVC_CommandLine),
    TLV_SYMBOL(SVC_StartTimeout),
    TLV_SYMBOL(SVC_DetectHangs),
    TLV_SYMBOL(SVC_MaxRestarts),
    TLV_SYMBOL(SVC_EmergencyTimeout),
    TLV_SYMBOL(SVC_ExitTimeout),
    TLV_SYMBOL(SVC_DLLPath),
    TLV_SYMBOL(SVC_Arguments),
    TLV_SYMBOL(SVC_ProcessName),
    TLV_SYMBOL(SVC_LinkEarly),
    TLV_SYMBOL(SVC_UnlinkLate),
    TLV_SYMBOL(SVC_MachineName),
    TLV_SYMBOL(SVC_Processor),
    TLV_SYMBOL(KEY_AsiList),
    TLV_SYMBOL(KEY_AsiName),
    TLV_SYMBOL(KEY_AsiGroupSet),
    TLV_SYMBOL(KEY_AsiDefaultConfig),
    TLV_SYMBOL(KEY_GroupSets),
    TLV_SYMBOL(KEY_Resources),
    TLV_SYMBOL(KEY_Mappings),
    TLV_SYMBOL(KEY_MapSource),
    TLV_SYMBOL(KEY_MapDestinations),
    TLV_SYMBOL(KEY_EndpointProfile),
    TLV_SYMBOL(KEY_EndpointAsi),
    TLV_SYMBOL(KEY_InboundRules),
    TLV_SYMBOL(KEY_OutboundRules),
    TLV_SYMBOL(KEY_RuleDevices),
};

#undef TLV_SYMBOL

}  // namespace

std::optional<CTsymbol> symbolByName(std::string_view name) {
    const auto it = std::find_if(kSymbols.begin(), kSymbols.end(),
                                 [name](const NamedSymbol& entry) { return name == entry.name; });
    if (it == kSymbols.end()) {
        return std::nullopt;
    }
    return it->value;
}

const char* nameOfSymbol(CTsymbol symbol) {
    const auto it =
        std::find_if(kSymbols.begin(), kSymbols.end(),
                     [symbol](const NamedSymbol& entry) { return entry.value == symbol; });
    return it == kSymbols.end() ? nullptr : it->name;
}

std::string symbolText(CTsymbol symbol) {
    if (const char* name = nameOfSymbol(symbol)) {
        return name;
    }
    char hex[11];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(symbol));
    return hex;
}

}  // namespace s100
