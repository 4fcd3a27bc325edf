#include "services/ui/svcsave.h"

#include <string>

#include "resources/stringids.h"

ExeServiceFields ExeDialogDefaults() {
    ExeServiceFields fields;
    fields.commandLine.clear();
    return fields;
}

DllServiceFields DllDialogDefaults() {
    DllServiceFields fields;
    fields.dllPath.clear();
    return fields;
}

bool KvsHoldsKey(CTkvs set, CTsymbol key) {
    uint32_t count = 0;
    if (CTkvs_GetCount(set, &count, nullptr) != CT_SUCCESS)
        return false;
    for (uint32_t index = 0; index < count; ++index) {
        CTsymbol held = 0;
        if (CTkvs_GetKeyAt(set, index, &held, nullptr) == CT_SUCCESS && held == key)
            return true;
    }
    return false;
}

unsigned ServiceNameMessage(const std::string& name) {
    switch (CheckServiceName(name)) {
        case ServiceNameCheck::TooLong:
            return IDS_SERVICE_NAME_TOO_LONG;
        case ServiceNameCheck::HasSpace:
            return IDS_SERVICE_NAME_HAS_SPACE;
        case ServiceNameCheck::HasNul:
            return IDS_SERVICE_NAME_INVALID;
        case ServiceNameCheck::Ok:
            break;
    }
    return 0;
}

unsigned SaveExeService(CTkvs set, const std::string& name, const ExeServiceFields& fields) {
    if (const unsigned message = ServiceNameMessage(name); message != 0)
        return message;
    return WriteExeService(set, fields) ? 0u : unsigned{IDS_KVSET_OPERATION_FAILED};
}

unsigned SaveDllService(CTkvs set, const std::string& name, const DllServiceFields& fields) {
    if (const unsigned message = ServiceNameMessage(name); message != 0)
        return message;
    return WriteDllService(set, fields) ? 0u : unsigned{IDS_KVSET_OPERATION_FAILED};
}

bool AsksMultiProcessorQuestion(char processorAtOpening, uint32_t processorWritten) {
    return processorAtOpening == '1' && std::to_string(processorWritten).front() != '1';
}
