#include "server/service_definition.h"

#include <algorithm>

#include "s100/names.h"
#include "server/wire_kvset.h"

namespace tlv::server {
namespace {

using tlv::wire::Value;

// Reads an optional key with take; false when it is present with another type than kind.
template <typename Take>
bool readOptional(const tlv::wire::KVSet& set, CTsymbol key, Value::KindCase kind, Take take) {
    const Value* value = findValue(set, key);
    if (value == nullptr) {
        return true;
    }
    if (value->kind_case() != kind) {
        return false;
    }
    take(*value);
    return true;
}

bool readInt(const tlv::wire::KVSet& set, CTsymbol key, int& out) {
    return readOptional(set, key, Value::kIntValue,
                        [&out](const Value& value) { out = std::max(0, value.int_value()); });
}

bool readSymbol(const tlv::wire::KVSet& set, CTsymbol key, CTsymbol& out) {
    return readOptional(set, key, Value::kSymbolValue,
                        [&out](const Value& value) { out = value.symbol_value(); });
}

bool readBool(const tlv::wire::KVSet& set, CTsymbol key, bool& out) {
    return readOptional(set, key, Value::kBoolValue,
                        [&out](const Value& value) { out = value.bool_value() == 1; });
}

bool readString(const tlv::wire::KVSet& set, CTsymbol key, std::string& out) {
    return readOptional(set, key, Value::kStringValue,
                        [&out](const Value& value) { out = value.string_value(); });
}

}  // namespace

CTerror checkServiceName(const std::string& name) {
    return s100::isServiceName(name) ? CTerr_NoError : CTerr_InvalidName;
}

CTerror readServiceDefinition(const tlv::wire::KVSet& set, ServiceDefinition& definition) {
    ServiceDefinition read;
    const Value* kind = findValue(set, SVC_Kind);
    if (kind == nullptr || kind->kind_case() != Value::kSymbolValue ||
        (kind->symbol_value() != SVC_KindExecutable && kind->symbol_value() != SVC_KindDLL)) {
        return CTerr_InvalidArgument;
    }
    read.kind = kind->symbol_value();
    const bool typesOk = readSymbol(set, SVC_StartType, read.startType) &&
                         readBool(set, SVC_Disabled, read.disabled) &&
                         readString(set, SVC_CommandLine, read.commandLine) &&
                         readInt(set, SVC_StartTimeout, read.startTimeoutSeconds) &&
                         readInt(set, SVC_ExitTimeout, read.exitTimeoutSeconds) &&
                         readInt(set, SVC_EmergencyTimeout, read.emergencyTimeoutSeconds) &&
                         readInt(set, SVC_MaxRestarts, read.maxRestarts);
    if (!typesOk) {
        return CTerr_InvalidArgument;
    }
    definition = std::move(read);
    return CTerr_NoError;
}

}  // namespace tlv::server
