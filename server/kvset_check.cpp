#include "server/kvset_check.h"

#include <unordered_set>

#include "s100/s100.h"

namespace tlv::server {
namespace {

using tlv::wire::Value;

CTerror checkSet(const tlv::wire::KVSet& set, int depth);

tlv::wire::ValueType typeOf(const Value& value) {
    switch (value.kind_case()) {
        case Value::kStringValue:
            return tlv::wire::VALUE_TYPE_STRING;
        case Value::kIntValue:
            return tlv::wire::VALUE_TYPE_INT;
        case Value::kUintValue:
            return tlv::wire::VALUE_TYPE_UINT;
        case Value::kBoolValue:
            return tlv::wire::VALUE_TYPE_BOOL;
        case Value::kSymbolValue:
            return tlv::wire::VALUE_TYPE_SYMBOL;
        case Value::kKvsetValue:
            return tlv::wire::VALUE_TYPE_KVSET;
        case Value::kArrayValue:
            return tlv::wire::VALUE_TYPE_ARRAY;
        case Value::KIND_NOT_SET:
            break;
    }
    return tlv::wire::VALUE_TYPE_UNSPECIFIED;
}

CTerror checkValue(const Value& value, int depth) {
    switch (value.kind_case()) {
        case Value::kStringValue:
            if (value.string_value().size() > CT_MAX_STRING) {
                return CTerr_LimitExceeded;
            }
            return value.string_value().find('\0') == std::string::npos ? CTerr_NoError
                                                                        : CTerr_InvalidArgument;
        case Value::kKvsetValue:
            return checkSet(value.kvset_value(), depth + 1);
        case Value::kArrayValue: {
            const tlv::wire::Array& array = value.array_value();
            if (depth + 1 > CT_MAX_DEPTH) {
                return CTerr_LimitExceeded;
            }
            if (array.elements_size() > CT_MAX_ELEMENTS) {
                return CTerr_LimitExceeded;
            }
            for (const Value& element : array.elements()) {
                if (typeOf(element) != array.element_type()) {
                    return CTerr_InvalidArgument;
                }
                if (const CTerror error = checkValue(element, depth + 1); error != CTerr_NoError) {
                    return error;
                }
            }
            return CTerr_NoError;
        }
        case Value::KIND_NOT_SET:
            return CTerr_InvalidArgument;
        default:
            return CTerr_NoError;
    }
}

CTerror checkSet(const tlv::wire::KVSet& set, int depth) {
    if (depth > CT_MAX_DEPTH) {
        return CTerr_LimitExceeded;
    }
    if (set.pairs_size() > CT_MAX_PAIRS) {
        return CTerr_LimitExceeded;
    }
    std::unordered_set<std::uint32_t> keys;
    for (const tlv::wire::Pair& pair : set.pairs()) {
        if (!keys.insert(pair.key()).second) {
            return CTerr_InvalidArgument;
        }
        if (const CTerror error = checkValue(pair.value(), depth); error != CTerr_NoError) {
            return error;
        }
    }
    return CTerr_NoError;
}

}  // namespace

CTerror checkIncomingKvSet(const tlv::wire::KVSet& set) {
    return checkSet(set, 1);
}

}  // namespace tlv::server
