#include "s100/kvs/wire.h"

#include <climits>
#include <cstdio>
#include <unordered_set>

#include "s100/proto/packed_strings.h"

namespace s100 {
namespace {

using tlv::wire::ValueType;

ValueType wireType(s100::ValueType type) {
    switch (type) {
        case s100::ValueType::None:
            return tlv::wire::VALUE_TYPE_UNSPECIFIED;
        case s100::ValueType::String:
            return tlv::wire::VALUE_TYPE_STRING;
        case s100::ValueType::Int:
            return tlv::wire::VALUE_TYPE_INT;
        case s100::ValueType::UInt:
            return tlv::wire::VALUE_TYPE_UINT;
        case s100::ValueType::Bool:
            return tlv::wire::VALUE_TYPE_BOOL;
        case s100::ValueType::Symbol:
            return tlv::wire::VALUE_TYPE_SYMBOL;
        case s100::ValueType::KVSet:
            return tlv::wire::VALUE_TYPE_KVSET;
        case s100::ValueType::Array:
            return tlv::wire::VALUE_TYPE_ARRAY;
    }
    return tlv::wire::VALUE_TYPE_UNSPECIFIED;
}

// The wire type of one value's oneof case, UNSPECIFIED when unset.
ValueType wireTypeOf(const tlv::wire::Value& value) {
    switch (value.kind_case()) {
        case tlv::wire::Value::kStringValue:
            return tlv::wire::VALUE_TYPE_STRING;
        case tlv::wire::Value::kIntValue:
            return tlv::wire::VALUE_TYPE_INT;
        case tlv::wire::Value::kUintValue:
            return tlv::wire::VALUE_TYPE_UINT;
        case tlv::wire::Value::kBoolValue:
            return tlv::wire::VALUE_TYPE_BOOL;
        case tlv::wire::Value::kSymbolValue:
            return tlv::wire::VALUE_TYPE_SYMBOL;
        case tlv::wire::Value::kKvsetValue:
            return tlv::wire::VALUE_TYPE_KVSET;
        case tlv::wire::Value::kArrayValue:
            return tlv::wire::VALUE_TYPE_ARRAY;
        case tlv::wire::Value::KIND_NOT_SET:
            break;
    }
    return tlv::wire::VALUE_TYPE_UNSPECIFIED;
}

void valueToWire(const Value& value, tlv::wire::Value& out);

void arrayToWire(const Array& array, tlv::wire::Array& out) {
    out.set_element_type(wireType(array.elementType()));
    if (const std::string* block = array.packedBlock()) {
        out.set_packed_strings(*block);
        return;
    }
    if (array.elementType() == s100::ValueType::String) {
        std::vector<std::string_view> texts;
        texts.reserve(array.size());
        for (size_t index = 0; index < array.size(); ++index) {
            texts.push_back(array.stringAt(index));
        }
        tlv::wire::packAll(out, texts, [](std::string_view text) { return text; });
        return;
    }
    out.mutable_elements()->Reserve(static_cast<int>(array.size()));
    for (size_t index = 0; index < array.size(); ++index) {
        valueToWire(array.at(index), *out.add_elements());
    }
}

void valueToWire(const Value& value, tlv::wire::Value& out) {
    switch (value.type()) {
        case s100::ValueType::String:
            out.set_string_value(value.asCString(), value.asString().size());
            break;
        case s100::ValueType::Int:
            out.set_int_value(value.asInt());
            break;
        case s100::ValueType::UInt:
            out.set_uint_value(value.asUInt());
            break;
        case s100::ValueType::Bool:
            out.set_bool_value(value.asBool());
            break;
        case s100::ValueType::Symbol:
            out.set_symbol_value(value.asSymbol());
            break;
        case s100::ValueType::KVSet:
            toWire(value.asSet(), *out.mutable_kvset_value());
            break;
        case s100::ValueType::Array:
            arrayToWire(value.asArray(), *out.mutable_array_value());
            break;
        case s100::ValueType::None:
            break;
    }
}

class Decoder final {
public:
    // A consuming decoder takes packed string blocks out of the message instead of copying them:
    // only for a message that is not const and not read again.
    Decoder(DecodeError& error, bool consume) : error_(error), consume_(consume) {}

    // depth is the nesting level of the set being decoded, 1 for the outermost.
    std::optional<KVSet> set(const tlv::wire::KVSet& in, int depth) {
        if (in.pairs_size() > static_cast<int>(CT_MAX_PAIRS)) {
            return fail(CTerr_LimitExceeded, "too many pairs in a KV set");
        }
        KVSet out;
        std::unordered_set<CTsymbol> keys;
        for (const tlv::wire::Pair& pair : in.pairs()) {
            if (!keys.insert(pair.key()).second) {
                return fail(CTerr_InvalidArgument, "duplicate key " + hex(pair.key()));
            }
            std::optional<Value> value = this->value(pair.value(), depth);
            if (!value) {
                return std::nullopt;
            }
            if (const CTerror code = out.put(pair.key(), std::move(*value));
                code != CTerr_NoError) {
                return fail(code, "value of key " + hex(pair.key()) + " breaks a bound");
            }
        }
        return out;
    }

private:
    // A value held at nesting level depth (inside a set or array of that level).
    std::optional<Value> value(const tlv::wire::Value& in, int depth) {
        switch (in.kind_case()) {
            case tlv::wire::Value::kStringValue:
                return string(in.string_value());
            case tlv::wire::Value::kIntValue:
                return Value::integer(in.int_value());
            case tlv::wire::Value::kUintValue:
                return Value::uinteger(in.uint_value());
            case tlv::wire::Value::kBoolValue:
                return Value::boolean(in.bool_value());
            case tlv::wire::Value::kSymbolValue:
                return Value::symbol(in.symbol_value());
            case tlv::wire::Value::kKvsetValue: {
                if (depth + 1 > CT_MAX_DEPTH) {
                    return fail(CTerr_LimitExceeded, "nesting too deep");
                }
                std::optional<KVSet> nested = set(in.kvset_value(), depth + 1);
                return nested ? std::optional<Value>(Value::set(std::move(*nested))) : std::nullopt;
            }
            case tlv::wire::Value::kArrayValue:
                return array(in.array_value(), depth);
            case tlv::wire::Value::KIND_NOT_SET:
                break;
        }
        return fail(CTerr_InvalidArgument, "value without a type");
    }

    std::optional<Value> string(const std::string& text) {
        if (!stringFits(text)) {
            return std::nullopt;
        }
        return Value::string(text);
    }

    bool stringFits(std::string_view text) {
        switch (checkString(text)) {
            case CTerr_NoError:
                return true;
            case CTerr_LimitExceeded:
                fail(CTerr_LimitExceeded, "string too long");
                return false;
            default:
                fail(CTerr_InvalidArgument, "string holds a NUL byte");
                return false;
        }
    }

    // The elements share one block of the packed bytes, taken from the message when it is
    // being consumed; each is followed there by its NUL.
    std::optional<Value> packedArray(const tlv::wire::Array& in) {
        if (in.element_type() != tlv::wire::VALUE_TYPE_STRING || in.elements_size() != 0) {
            return fail(CTerr_InvalidArgument, "packed strings in an array of another form");
        }
        auto block = consume_ ? std::make_shared<const std::string>(std::move(
                                    *const_cast<tlv::wire::Array&>(in).mutable_packed_strings()))
                              : std::make_shared<const std::string>(in.packed_strings());
        Array out;
        const char* why = "";
        if (const CTerror code = Array::fromPacked(std::move(block), out, why);
            code != CTerr_NoError) {
            return fail(code, why);
        }
        return Value::array(std::move(out));
    }

    std::optional<Value> array(const tlv::wire::Array& in, int depth) {
        if (depth + 1 > CT_MAX_DEPTH) {
            return fail(CTerr_LimitExceeded, "nesting too deep");
        }
        if (!in.packed_strings().empty()) {
            return packedArray(in);
        }
        if (in.elements_size() > static_cast<int>(CT_MAX_ELEMENTS)) {
            return fail(CTerr_LimitExceeded, "too many elements in an array");
        }
        Array out;
        out.reserve(static_cast<size_t>(in.elements_size()));
        for (const tlv::wire::Value& element : in.elements()) {
            if (wireTypeOf(element) != in.element_type()) {
                return fail(CTerr_InvalidArgument, "mixed element types in array");
            }
            std::optional<Value> decoded = value(element, depth + 1);
            if (!decoded) {
                return std::nullopt;
            }
            if (const CTerror code = out.append(std::move(*decoded)); code != CTerr_NoError) {
                return fail(code, "array element breaks a bound");
            }
        }
        return Value::array(std::move(out));
    }

    static std::string hex(CTsymbol key) {
        char text[11];
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(key));
        return text;
    }

    std::nullopt_t fail(CTerror code, std::string message) {
        error_.code = code;
        error_.message = std::move(message);
        return std::nullopt;
    }

    DecodeError& error_;
    bool consume_;
};

}  // namespace

void toWire(const KVSet& set, tlv::wire::KVSet& out) {
    out.Clear();
    out.mutable_pairs()->Reserve(static_cast<int>(set.size()));
    for (const Pair& pair : set.pairs()) {
        tlv::wire::Pair& wirePair = *out.add_pairs();
        wirePair.set_key(pair.key);
        valueToWire(pair.value, *wirePair.mutable_value());
    }
}

std::optional<KVSet> fromWire(const tlv::wire::KVSet& in, DecodeError& error) {
    error = DecodeError{};
    return Decoder(error, false).set(in, 1);
}

std::optional<KVSet> fromWire(tlv::wire::KVSet&& in, DecodeError& error) {
    error = DecodeError{};
    return Decoder(error, true).set(in, 1);
}

std::string encodeKVSet(const KVSet& set) {
    tlv::wire::KVSet message;
    toWire(set, message);
    return message.SerializeAsString();
}

std::optional<KVSet> decodeKVSet(const void* data, size_t size, DecodeError& error) {
    tlv::wire::KVSet message;
    if (size > static_cast<size_t>(INT_MAX) ||
        !message.ParseFromArray(data, static_cast<int>(size))) {
        error = DecodeError{CTerr_InvalidArgument, "not a KV set in wire form"};
        return std::nullopt;
    }
    return fromWire(std::move(message), error);
}

}  // namespace s100
