#include "services/svcdef.h"

namespace {

// Each read leaves the field alone when the key is missing or does not read.
void ReadString(CTkvs set, CTsymbol key, std::string& field) {
    const char* value = nullptr;
    if (CTkvs_GetString(set, key, &value, nullptr) == CT_SUCCESS && value != nullptr)
        field = value;
}

void ReadInt(CTkvs set, CTsymbol key, int32_t& field) {
    int32_t value = 0;
    if (CTkvs_GetInt(set, key, &value, nullptr) == CT_SUCCESS)
        field = value;
}

void ReadUInt(CTkvs set, CTsymbol key, uint32_t& field) {
    uint32_t value = 0;
    if (CTkvs_GetUInt(set, key, &value, nullptr) == CT_SUCCESS)
        field = value;
}

// Only the word 1 is true.
void ReadBool(CTkvs set, CTsymbol key, bool& field) {
    CTbool value = 0;
    if (CTkvs_GetBool(set, key, &value, nullptr) == CT_SUCCESS)
        field = value == 1;
}

void ReadStartType(CTkvs set, bool& bMandatory) {
    CTsymbol value = 0;
    if (CTkvs_GetSymbol(set, SVC_StartType, &value, nullptr) == CT_SUCCESS)
        bMandatory = value == SVC_Mandatory;
}

bool PutString(CTkvs set, CTsymbol key, const std::string& value) {
    return CTkvs_PutString(set, key, value.c_str(), nullptr) == CT_SUCCESS;
}

bool PutInt(CTkvs set, CTsymbol key, int32_t value) {
    return CTkvs_PutInt(set, key, value, nullptr) == CT_SUCCESS;
}

bool PutUInt(CTkvs set, CTsymbol key, uint32_t value) {
    return CTkvs_PutUInt(set, key, value, nullptr) == CT_SUCCESS;
}

bool PutBool(CTkvs set, CTsymbol key, bool value) {
    return CTkvs_PutBool(set, key, value ? 1 : 0, nullptr) == CT_SUCCESS;
}

bool PutSymbol(CTkvs set, CTsymbol key, CTsymbol value) {
    return CTkvs_PutSymbol(set, key, value, nullptr) == CT_SUCCESS;
}

CTsymbol StartTypeOf(bool bMandatory) {
    return bMandatory ? SVC_Mandatory : SVC_Optional;
}

}  // namespace

ServiceKind ServiceKindOf(CTkvs set) {
    CTsymbol kind = 0;
    if (CTkvs_GetSymbol(set, SVC_Kind, &kind, nullptr) != CT_SUCCESS)
        return ServiceKind::Invalid;
    if (kind == SVC_KindExecutable)
        return ServiceKind::Executable;
    if (kind == SVC_KindDLL)
        return ServiceKind::DLL;
    return ServiceKind::Invalid;
}

ServiceNameCheck CheckServiceName(const std::string& name) {
    if (name.size() > s100::kMaxServiceNameLength)
        return ServiceNameCheck::TooLong;
    if (name.find(' ') != std::string::npos)
        return ServiceNameCheck::HasSpace;
    if (name.find('\0') != std::string::npos)
        return ServiceNameCheck::HasNul;
    return ServiceNameCheck::Ok;
}

void ReadExeService(CTkvs set, ExeServiceFields& fields) {
    ReadString(set, SVC_CommandLine, fields.commandLine);
    ReadString(set, SVC_MachineName, fields.machineName);
    ReadStartType(set, fields.bMandatory);
    ReadBool(set, SVC_Disabled, fields.bDisabled);
    ReadInt(set, SVC_EmergencyTimeout, fields.emergencyTimeout);
    ReadBool(set, SVC_DetectHangs, fields.bDetectHangs);
    ReadInt(set, SVC_MaxRestarts, fields.maxRestarts);
    ReadInt(set, SVC_StartTimeout, fields.startTimeout);
    ReadInt(set, SVC_ExitTimeout, fields.exitTimeout);
    ReadUInt(set, SVC_Processor, fields.processor);
}

void ReadDllService(CTkvs set, DllServiceFields& fields) {
    ReadString(set, SVC_DLLPath, fields.dllPath);
    ReadString(set, SVC_Arguments, fields.arguments);
    ReadString(set, SVC_ProcessName, fields.processName);
    ReadStartType(set, fields.bMandatory);
    ReadBool(set, SVC_Disabled, fields.bDisabled);
    ReadInt(set, SVC_EmergencyTimeout, fields.emergencyTimeout);
    ReadBool(set, SVC_LinkEarly, fields.bLinkEarly);
    ReadBool(set, SVC_UnlinkLate, fields.bUnlinkLate);
}

bool WriteExeService(CTkvs set, const ExeServiceFields& fields) {
    return PutString(set, SVC_CommandLine, fields.commandLine) &&
           PutString(set, SVC_MachineName, fields.machineName) &&
           PutBool(set, SVC_DetectHangs, fields.bDetectHangs) &&
           PutBool(set, SVC_Disabled, fields.bDisabled) &&
           PutInt(set, SVC_MaxRestarts, fields.maxRestarts) &&
           PutInt(set, SVC_StartTimeout, fields.startTimeout) &&
           PutInt(set, SVC_EmergencyTimeout, fields.emergencyTimeout) &&
           PutInt(set, SVC_ExitTimeout, fields.exitTimeout) &&
           PutSymbol(set, SVC_Kind, SVC_KindExecutable) &&
           PutSymbol(set, SVC_StartType, StartTypeOf(fields.bMandatory)) &&
           PutUInt(set, SVC_Processor, fields.processor);
}

bool WriteDllService(CTkvs set, const DllServiceFields& fields) {
    return PutString(set, SVC_DLLPath, fields.dllPath) &&
           PutString(set, SVC_Arguments, fields.arguments) &&
           PutString(set, SVC_ProcessName, fields.processName) &&
           PutInt(set, SVC_EmergencyTimeout, fields.emergencyTimeout) &&
           PutBool(set, SVC_LinkEarly, fields.bLinkEarly) &&
           PutBool(set, SVC_UnlinkLate, fields.bUnlinkLate) &&
           PutBool(set, SVC_Disabled, fields.bDisabled) && PutSymbol(set, SVC_Kind, SVC_KindDLL) &&
           PutSymbol(set, SVC_StartType, StartTypeOf(fields.bMandatory));
}

bool NormalizeServiceDefinition(CTkvs set) {
    switch (ServiceKindOf(set)) {
        case ServiceKind::Executable: {
            ExeServiceFields fields;
            ReadExeService(set, fields);
            return WriteExeService(set, fields);
        }
        case ServiceKind::DLL: {
            DllServiceFields fields;
            ReadDllService(set, fields);
            return WriteDllService(set, fields);
        }
        case ServiceKind::Invalid:
            break;
    }
    return false;
}
