#include "server/wire_kvset.h"

#include "s100/proto/packed_strings.h"

namespace tlv::server {
namespace {

tlv::wire::Array& putArray(tlv::wire::KVSet& set, CTsymbol key, tlv::wire::ValueType type) {
    tlv::wire::Pair* pair = set.add_pairs();
    pair->set_key(key);
    tlv::wire::Array* array = pair->mutable_value()->mutable_array_value();
    array->set_element_type(type);
    return *array;
}

}  // namespace

const tlv::wire::Value* findValue(const tlv::wire::KVSet& set, CTsymbol key) {
    for (const tlv::wire::Pair& pair : set.pairs()) {
        if (pair.key() == key) {
            return &pair.value();
        }
    }
    return nullptr;
}

void putStringArray(tlv::wire::KVSet& set, CTsymbol key, const std::vector<std::string>& values) {
    tlv::wire::packAll(putArray(set, key, tlv::wire::VALUE_TYPE_STRING), values,
                       [](const std::string& value) -> std::string_view { return value; });
}

void putSymbolArray(tlv::wire::KVSet& set, CTsymbol key, const std::vector<CTsymbol>& values) {
    tlv::wire::Array& array = putArray(set, key, tlv::wire::VALUE_TYPE_SYMBOL);
    for (const CTsymbol value : values) {
        array.add_elements()->set_symbol_value(value);
    }
}

void putBoolArray(tlv::wire::KVSet& set, CTsymbol key, const std::vector<bool>& values) {
    tlv::wire::Array& array = putArray(set, key, tlv::wire::VALUE_TYPE_BOOL);
    for (const bool value : values) {
        array.add_elements()->set_bool_value(value ? 1u : 0u);
    }
}

void putEncodedKVSetArray(tlv::wire::KVSet& set, CTsymbol key, std::vector<std::string> encoded) {
    tlv::wire::Array& array = putArray(set, key, tlv::wire::VALUE_TYPE_KVSET);
    array.mutable_elements()->Reserve(static_cast<int>(encoded.size()));
    for (std::string& bytes : encoded) {
        tlv::wire::Value& element = *array.add_elements();
        // As an unknown field of the set's number, the bytes are written out unchanged: on the
        // wire exactly the element a decoded set would give.
        *element.GetReflection()->MutableUnknownFields(&element)->AddLengthDelimited(
            tlv::wire::Value::kKvsetValueFieldNumber) = std::move(bytes);
    }
}

}  // namespace tlv::server
