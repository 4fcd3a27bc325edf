#include "s100/kvs/wire.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace s100 {
namespace {

KVSet sample() {
    Array strings;
    strings.append(Value::string("dev1"));
    Array arrays;
    arrays.append(Value::array(strings));
    arrays.append(Value::array(Array{}));
    KVSet inner;
    inner.put(KEY_RuleDevices, Value::array(strings));
    Array sets;
    sets.append(Value::set(inner));
    KVSet set;
    set.put(KEY_AsiName, Value::string("A\x7F"));
    set.put(SVC_MaxRestarts, Value::integer(-3));
    set.put(SVC_Processor, Value::uinteger(8));
    set.put(SVC_Disabled, Value::boolean(2));
    set.put(SVC_Kind, Value::symbol(SVC_KindExecutable));
    set.put(KEY_MapSource, Value::set(inner));
    set.put(KEY_GroupSets, Value::array(arrays));
    set.put(KEY_InboundRules, Value::array(sets));
    return set;
}

std::string decodeFailure(const tlv::wire::KVSet& message, CTerror code) {
    DecodeError error;
    EXPECT_FALSE(fromWire(message, error));
    EXPECT_EQ(error.code, code);
    return error.message;
}

TEST(WireForm, RoundTripsEveryValueType) {
    const KVSet set = sample();
    const std::string bytes = encodeKVSet(set);
    DecodeError error;
    const std::optional<KVSet> back = decodeKVSet(bytes.data(), bytes.size(), error);
    ASSERT_TRUE(back) << error.message;
    EXPECT_EQ(*back, set);

    tlv::wire::KVSet message;
    toWire(set, message);
    EXPECT_EQ(message.pairs(3).value().bool_value(), 2u);
    EXPECT_EQ(message.pairs(6).value().array_value().element_type(), tlv::wire::VALUE_TYPE_ARRAY);
    EXPECT_EQ(message.pairs(6).value().array_value().elements(1).array_value().element_type(),
              tlv::wire::VALUE_TYPE_UNSPECIFIED);
}

TEST(WireForm, DecoderRefusesMalformedSets) {
    tlv::wire::KVSet duplicate;
    duplicate.add_pairs()->set_key(KEY_AsiName);
    duplicate.mutable_pairs(0)->mutable_value()->set_int_value(1);
    *duplicate.add_pairs() = duplicate.pairs(0);
    EXPECT_EQ(decodeFailure(duplicate, CTerr_InvalidArgument), "duplicate key 0x00C0080E");

    tlv::wire::KVSet unset;
    unset.add_pairs()->set_key(KEY_AsiName);
    EXPECT_EQ(decodeFailure(unset, CTerr_InvalidArgument), "value without a type");

    tlv::wire::KVSet nul;
    nul.add_pairs()->mutable_value()->set_string_value(std::string("a\0b", 3));
    EXPECT_EQ(decodeFailure(nul, CTerr_InvalidArgument), "string holds a NUL byte");

    tlv::wire::KVSet mixed;
    tlv::wire::Array& array = *mixed.add_pairs()->mutable_value()->mutable_array_value();
    array.set_element_type(tlv::wire::VALUE_TYPE_STRING);
    array.add_elements()->set_string_value("x");
    array.add_elements()->set_int_value(1);
    EXPECT_EQ(decodeFailure(mixed, CTerr_InvalidArgument), "mixed element types in array");

    tlv::wire::KVSet untyped;
    tlv::wire::Array& noType = *untyped.add_pairs()->mutable_value()->mutable_array_value();
    noType.add_elements()->set_int_value(1);
    EXPECT_EQ(decodeFailure(untyped, CTerr_InvalidArgument), "mixed element types in array");

    DecodeError error;
    const char garbage[] = "\xFF\xFF\xFF\xFF";
    EXPECT_FALSE(decodeKVSet(garbage, 4, error));
    EXPECT_EQ(error.code, CTerr_InvalidArgument);
}

TEST(WireForm, DecoderRefusesWhatBreaksABound) {
    tlv::wire::KVSet deep;
    tlv::wire::KVSet* level = &deep;
    for (int depth = 1; depth < CT_MAX_DEPTH; ++depth) {
        tlv::wire::Pair& pair = *level->add_pairs();
        pair.set_key(KEY_MapSource);
        level = pair.mutable_value()->mutable_kvset_value();
    }
    DecodeError error;
    ASSERT_TRUE(fromWire(deep, error)) << error.message;
    level->add_pairs()->mutable_value()->mutable_array_value();
    EXPECT_EQ(decodeFailure(deep, CTerr_LimitExceeded), "nesting too deep");

    tlv::wire::KVSet longString;
    longString.add_pairs()->mutable_value()->set_string_value(std::string(CT_MAX_STRING + 1, 'x'));
    EXPECT_EQ(decodeFailure(longString, CTerr_LimitExceeded), "string too long");

    tlv::wire::KVSet manyPairs;
    for (uint32_t key = 0; key <= CT_MAX_PAIRS; ++key) {
        tlv::wire::Pair& pair = *manyPairs.add_pairs();
        pair.set_key(key);
        pair.mutable_value()->set_uint_value(key);
    }
    EXPECT_EQ(decodeFailure(manyPairs, CTerr_LimitExceeded), "too many pairs in a KV set");
}

// A string array as the server and sets stored by earlier clients hold it: element by element.
tlv::wire::KVSet oneByOne(const std::vector<std::string>& texts) {
    tlv::wire::KVSet message;
    tlv::wire::Pair& pair = *message.add_pairs();
    pair.set_key(KEY_Resources);
    tlv::wire::Array& array = *pair.mutable_value()->mutable_array_value();
    array.set_element_type(tlv::wire::VALUE_TYPE_STRING);
    for (const std::string& text : texts) {
        array.add_elements()->set_string_value(text);
    }
    return message;
}

tlv::wire::KVSet packed(std::string bytes, tlv::wire::ValueType type = tlv::wire::VALUE_TYPE_STRING) {
    tlv::wire::KVSet message;
    tlv::wire::Array& array = *message.add_pairs()->mutable_value()->mutable_array_value();
    array.set_element_type(type);
    array.set_packed_strings(std::move(bytes));
    return message;
}

TEST(WireForm, StringArraysTravelPackedAndTheOldFormStillReads) {
    const std::vector<std::string> texts = {"R1=board", "", std::string("Z\xC3\xBCrich\xFF")};
    Array strings;
    for (const std::string& text : texts) {
        strings.append(Value::string(text));
    }
    KVSet set;
    set.put(KEY_Resources, Value::array(strings));

    tlv::wire::KVSet message;
    toWire(set, message);
    const tlv::wire::Array& array = message.pairs(0).value().array_value();
    EXPECT_EQ(array.elements_size(), 0);
    EXPECT_EQ(array.packed_strings(), std::string("R1=board\0\0Z\xC3\xBCrich\xFF\0", 19));

    DecodeError error;
    std::optional<KVSet> fromPacked = fromWire(message, error);
    ASSERT_TRUE(fromPacked) << error.message;
    EXPECT_EQ(*fromPacked, set);
    const std::optional<KVSet> fromElements = fromWire(oneByOne(texts), error);
    ASSERT_TRUE(fromElements) << error.message;
    EXPECT_EQ(*fromElements, set);

    // The elements keep their bytes, each ending in a NUL, after the message is gone.
    message.Clear();
    const Array& decoded = fromPacked->find(KEY_Resources)->asArray();
    ASSERT_EQ(decoded.size(), 3u);
    EXPECT_STREQ(decoded.at(0).asCString(), "R1=board");
    EXPECT_STREQ(decoded.at(1).asCString(), "");
    EXPECT_EQ(decoded.at(2).asString(), texts[2]);
    EXPECT_EQ(decoded.at(2).asCString()[texts[2].size()], '\0');
}

TEST(WireForm, PackedStringsThatCannotBeReadAreRefused) {
    EXPECT_EQ(decodeFailure(packed(std::string("a\0b", 3)), CTerr_InvalidArgument),
              "packed strings cut short");
    EXPECT_EQ(decodeFailure(packed(std::string("1\0", 2), tlv::wire::VALUE_TYPE_INT),
                            CTerr_InvalidArgument),
              "packed strings in an array of another form");
    tlv::wire::KVSet bothForms = packed(std::string("a\0", 2));
    bothForms.mutable_pairs(0)->mutable_value()->mutable_array_value()->add_elements()
        ->set_string_value("b");
    EXPECT_EQ(decodeFailure(bothForms, CTerr_InvalidArgument),
              "packed strings in an array of another form");

    std::string tooLong(CT_MAX_STRING + 1, 'x');
    tooLong.push_back('\0');
    EXPECT_EQ(decodeFailure(packed("ok" + std::string(1, '\0') + tooLong), CTerr_LimitExceeded),
              "string too long");
    EXPECT_EQ(decodeFailure(packed(std::string(CT_MAX_ELEMENTS + 1, '\0')), CTerr_LimitExceeded),
              "too many elements in an array");
}

}  // namespace
}  // namespace s100
