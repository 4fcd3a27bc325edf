#include "s100/kvs/value.h"

#include <gtest/gtest.h>

namespace s100 {
namespace {

// A chain of sets nested depth deep (depth 1 is a set without nested values).
KVSet nestedSets(int depth) {
    KVSet set;
    for (int level = 1; level < depth; ++level) {
        KVSet outer;
        EXPECT_EQ(outer.put(KEY_MapSource, Value::set(std::move(set))), CTerr_NoError);
        set = std::move(outer);
    }
    return set;
}

TEST(KVSetModel, PutReplacesInPlaceAndRemoveKeepsOrder) {
    KVSet set;
    ASSERT_EQ(set.put(SVC_CommandLine, Value::string("a.exe")), CTerr_NoError);
    ASSERT_EQ(set.put(SVC_Disabled, Value::boolean(2)), CTerr_NoError);
    ASSERT_EQ(set.put(SVC_Processor, Value::uinteger(4)), CTerr_NoError);
    ASSERT_EQ(set.put(SVC_Disabled, Value::integer(-1)), CTerr_NoError);

    ASSERT_EQ(set.size(), 3u);
    EXPECT_EQ(set.at(1).key, SVC_Disabled);
    EXPECT_EQ(set.at(1).value, Value::integer(-1));
    EXPECT_EQ(set.remove(SVC_CommandLine), CTerr_NoError);
    EXPECT_EQ(set.remove(SVC_CommandLine), CTerr_NotFound);
    EXPECT_EQ(set.at(0).key, SVC_Disabled);
    ASSERT_NE(set.find(SVC_Processor), nullptr);
    EXPECT_EQ(set.find(SVC_Processor)->asUInt(), 4u);
    EXPECT_EQ(set.find(SVC_CommandLine), nullptr);
}

// Small sets are searched in order, large ones through an index: lookups, replacements and
// removals must agree on both sides of the change-over.
TEST(KVSetModel, LookupsAgreeAsASetGrowsAndShrinksAcrossItsIndex) {
    KVSet set;
    const auto keyOf = [](int i) { return static_cast<CTsymbol>(0x10600000 + 7 * i); };
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(set.put(keyOf(i), Value::integer(i)), CTerr_NoError);
        for (int j = 0; j <= i; ++j)
            ASSERT_NE(set.find(keyOf(j)), nullptr) << i << " " << j;
        EXPECT_EQ(set.find(keyOf(i + 1)), nullptr);
    }
    ASSERT_EQ(set.put(keyOf(4), Value::integer(-4)), CTerr_NoError);
    EXPECT_EQ(set.size(), 40u);
    EXPECT_EQ(set.at(4).value.asInt(), -4);
    for (int i = 39; i >= 0; i -= 2) {
        ASSERT_EQ(set.remove(keyOf(i)), CTerr_NoError);
        EXPECT_EQ(set.find(keyOf(i)), nullptr);
        EXPECT_EQ(set.remove(keyOf(i)), CTerr_NotFound);
    }
    ASSERT_EQ(set.size(), 20u);
    for (int i = 0; i < 40; i += 2) {
        const Value* value = set.find(keyOf(i));
        ASSERT_NE(value, nullptr) << i;
        EXPECT_EQ(value->asInt(), i == 4 ? -4 : i);
        EXPECT_EQ(set.at(static_cast<size_t>(i / 2)).key, keyOf(i)) << "order kept";
    }
    for (int i = 0; i < 40; i += 2)
        ASSERT_EQ(set.remove(keyOf(i)), CTerr_NoError);
    EXPECT_TRUE(set.empty());
    EXPECT_EQ(set.put(keyOf(1), Value::integer(1)), CTerr_NoError);
    EXPECT_EQ(set.find(keyOf(1))->asInt(), 1);
}

TEST(KVSetModel, EqualityTellsTypesAndOrderApart) {
    KVSet a;
    KVSet b;
    a.put(SVC_Processor, Value::uinteger(1));
    b.put(SVC_Processor, Value::boolean(1));
    EXPECT_FALSE(a == b);
    b.put(SVC_Processor, Value::uinteger(1));
    EXPECT_TRUE(a == b);
    a.put(SVC_Kind, Value::symbol(SVC_KindDLL));
    a.put(SVC_Root, Value::symbol(SVC_KindDLL));
    b.put(SVC_Root, Value::symbol(SVC_KindDLL));
    b.put(SVC_Kind, Value::symbol(SVC_KindDLL));
    EXPECT_FALSE(a == b);
}

TEST(KVSetModel, ArraysHoldOneElementType) {
    Array strings;
    EXPECT_EQ(strings.elementType(), ValueType::None);
    EXPECT_EQ(strings.append(Value::string("x")), CTerr_NoError);
    EXPECT_EQ(strings.append(Value::integer(1)), CTerr_WrongType);
    EXPECT_EQ(strings.size(), 1u);

    Array arrays;
    Array ints;
    ints.append(Value::integer(7));
    EXPECT_EQ(arrays.append(Value::array(strings)), CTerr_NoError);
    EXPECT_EQ(arrays.append(Value::array(ints)), CTerr_NoError);
    EXPECT_EQ(arrays.append(Value::array(Array{})), CTerr_NoError);
    EXPECT_EQ(arrays.elementType(), ValueType::Array);
    EXPECT_EQ(arrays.depth(), 2);
}

TEST(KVSetModel, BoundsAreRefusedAndChangeNothing) {
    KVSet deepest = nestedSets(CT_MAX_DEPTH);
    EXPECT_EQ(deepest.depth(), CT_MAX_DEPTH);
    KVSet outer;
    outer.put(SVC_Kind, Value::symbol(SVC_KindDLL));
    EXPECT_EQ(outer.put(KEY_MapSource, Value::set(deepest)), CTerr_LimitExceeded);
    Array wrapper;
    EXPECT_EQ(wrapper.append(Value::set(deepest)), CTerr_LimitExceeded);
    EXPECT_EQ(outer.size(), 1u);

    EXPECT_EQ(outer.put(SVC_Kind, Value::string(std::string(CT_MAX_STRING + 1, 'x'))),
              CTerr_LimitExceeded);
    EXPECT_EQ(outer.put(SVC_Kind, Value::string(std::string("a\0b", 3))), CTerr_InvalidArgument);
    EXPECT_EQ(*outer.find(SVC_Kind), Value::symbol(SVC_KindDLL));
    EXPECT_EQ(outer.put(SVC_Kind, Value::string(std::string(CT_MAX_STRING, 'x'))), CTerr_NoError);
}

TEST(KVSetModel, PairCountIsBounded) {
    KVSet set;
    for (uint32_t key = 0; key < CT_MAX_PAIRS; ++key) {
        ASSERT_EQ(set.put(key, Value::uinteger(key)), CTerr_NoError);
    }
    EXPECT_EQ(set.put(CT_MAX_PAIRS, Value::uinteger(0)), CTerr_LimitExceeded);
    EXPECT_EQ(set.put(5, Value::uinteger(9)), CTerr_NoError) << "replacing stays allowed";
    EXPECT_EQ(set.size(), CT_MAX_PAIRS);
}

TEST(KVSetModel, DepthFallsWhenTheDeepValueIsReplaced) {
    KVSet set;
    set.put(KEY_MapSource, Value::set(nestedSets(5)));
    EXPECT_EQ(set.depth(), 6);
    set.put(KEY_MapSource, Value::integer(1));
    EXPECT_EQ(set.depth(), 1);
}

}  // namespace
}  // namespace s100
