#include "s100/s100.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "s100/kvs/handles.h"
#include "s100/kvs/notation.h"

namespace {

// A set made and destroyed through the C API.
class CallerSet final {
public:
    CallerSet() { EXPECT_EQ(CTkvs_Create(&handle_, nullptr), CT_SUCCESS); }
    ~CallerSet() { CTkvs_Destroy(handle_, nullptr); }
    CallerSet(const CallerSet&) = delete;
    CallerSet& operator=(const CallerSet&) = delete;
    operator CTkvs() const { return handle_; }

private:
    CTkvs handle_ = 0;
};

TEST(KVSetCalls, ScalarsRoundTripAndReportTheirErrors) {
    CallerSet set;
    CTerror error = 0;
    ASSERT_EQ(CTkvs_PutString(set, SVC_CommandLine, "run.exe -x", &error), CT_SUCCESS);
    EXPECT_EQ(error, CTerr_NoError);
    ASSERT_EQ(CTkvs_PutInt(set, SVC_MaxRestarts, -5, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutUInt(set, SVC_Processor, 4000000000u, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutBool(set, SVC_Disabled, 2, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutSymbol(set, SVC_Kind, SVC_KindExecutable, nullptr), CT_SUCCESS);

    const char* text = nullptr;
    int32_t number = 0;
    uint32_t unsignedNumber = 0;
    CTbool word = 0;
    CTsymbol symbol = 0;
    EXPECT_EQ(CTkvs_GetString(set, SVC_CommandLine, &text, nullptr), CT_SUCCESS);
    EXPECT_STREQ(text, "run.exe -x");
    EXPECT_EQ(CTkvs_GetInt(set, SVC_MaxRestarts, &number, nullptr), CT_SUCCESS);
    EXPECT_EQ(number, -5);
    EXPECT_EQ(CTkvs_GetUInt(set, SVC_Processor, &unsignedNumber, nullptr), CT_SUCCESS);
    EXPECT_EQ(unsignedNumber, 4000000000u);
    EXPECT_EQ(CTkvs_GetBool(set, SVC_Disabled, &word, nullptr), CT_SUCCESS);
    EXPECT_EQ(word, 2u) << "a bool is the stored word, not a truth value";
    EXPECT_EQ(CTkvs_GetSymbol(set, SVC_Kind, &symbol, nullptr), CT_SUCCESS);
    EXPECT_EQ(symbol, SVC_KindExecutable);

    EXPECT_EQ(CTkvs_GetInt(set, SVC_Processor, &number, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_WrongType);
    EXPECT_EQ(CTkvs_GetBool(set, SVC_Kind, &word, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_WrongType);
    EXPECT_EQ(CTkvs_GetString(set, SVC_DLLPath, &text, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_NotFound);
    EXPECT_EQ(CTkvs_PutString(set, SVC_DLLPath, nullptr, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_InvalidArgument);
}

TEST(KVSetCalls, PutReplacesTheValueInItsPlace) {
    CallerSet set;
    CTkvs_PutString(set, SVC_CommandLine, "a", nullptr);
    CTkvs_PutSymbol(set, SVC_StartType, SVC_Root, nullptr);
    CTkvs_PutBool(set, SVC_Disabled, 2, nullptr);
    ASSERT_EQ(CTkvs_PutSymbol(set, SVC_StartType, SVC_Optional, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutBool(set, SVC_Disabled, 0, nullptr), CT_SUCCESS);

    uint32_t count = 0;
    CTsymbol key = 0;
    CTsymbol symbol = 0;
    CTbool word = 7;
    ASSERT_EQ(CTkvs_GetCount(set, &count, nullptr), CT_SUCCESS);
    EXPECT_EQ(count, 3u);
    const CTsymbol expected[] = {SVC_CommandLine, SVC_StartType, SVC_Disabled};
    for (uint32_t index = 0; index < 3; ++index) {
        ASSERT_EQ(CTkvs_GetKeyAt(set, index, &key, nullptr), CT_SUCCESS);
        EXPECT_EQ(key, expected[index]);
    }
    CTerror error = 0;
    EXPECT_EQ(CTkvs_GetKeyAt(set, 3, &key, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_InvalidArgument);
    CTkvs_GetSymbol(set, SVC_StartType, &symbol, nullptr);
    EXPECT_EQ(symbol, SVC_Optional);
    CTkvs_GetBool(set, SVC_Disabled, &word, nullptr);
    EXPECT_EQ(word, 0u);
}

TEST(KVSetCalls, ReturnedStorageLivesUntilDestroyAndStaleHandlesAreRefused) {
    CTkvs set = 0;
    ASSERT_EQ(CTkvs_Create(&set, nullptr), CT_SUCCESS);
    const char* names[] = {"first", "second"};
    CTkvs_PutString(set, KEY_AsiName, "A1", nullptr);
    CTkvs_PutStringArray(set, KEY_ProfileNames, names, 2, nullptr);
    CTkvs inner = 0;
    CTkvs_Create(&inner, nullptr);
    CTkvs_PutString(inner, KEY_EndpointAsi, "R", nullptr);
    CTkvs_PutKVSet(set, KEY_MapSource, inner, nullptr);
    CTkvs_Destroy(inner, nullptr);

    const char* text = nullptr;
    const char* const* strings = nullptr;
    uint32_t count = 0;
    CTkvs nested = 0;
    ASSERT_EQ(CTkvs_GetString(set, KEY_AsiName, &text, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_GetStringArray(set, KEY_ProfileNames, &strings, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_GetKVSet(set, KEY_MapSource, &nested, nullptr), CT_SUCCESS);
    // Many more pairs: the set's storage grows, what was handed out stays where it is.
    for (CTsymbol key = 1; key < 2000; ++key) {
        CTkvs_PutString(set, key, "filler text that does not fit a small string", nullptr);
    }
    EXPECT_STREQ(text, "A1");
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(strings[0], "first");
    EXPECT_STREQ(strings[1], "second");
    const char* innerText = nullptr;
    ASSERT_EQ(CTkvs_GetString(nested, KEY_EndpointAsi, &innerText, nullptr), CT_SUCCESS);
    EXPECT_STREQ(innerText, "R");

    CTkvs again = 0;
    CTkvs_GetKVSet(set, KEY_MapSource, &again, nullptr);
    EXPECT_EQ(again, nested) << "a second get hands out the same view";
    CTerror error = 0;
    EXPECT_EQ(CTkvs_PutString(nested, KEY_EndpointAsi, "X", &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_ReadOnly);
    EXPECT_EQ(CTkvs_Destroy(nested, &error), CT_FAILURE) << "a view belongs to its set";
    EXPECT_EQ(error, CTerr_InvalidHandle);

    ASSERT_EQ(CTkvs_Destroy(set, nullptr), CT_SUCCESS);
    EXPECT_EQ(CTkvs_GetCount(set, &count, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_InvalidHandle);
    EXPECT_EQ(CTkvs_GetString(nested, KEY_EndpointAsi, &innerText, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_InvalidHandle) << "views go with their set";
    EXPECT_EQ(CTkvs_Destroy(set, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_InvalidHandle);
    EXPECT_EQ(CTkvs_GetCount(0x7FFFFFFF, &count, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_InvalidHandle);

    CTkvs reused = 0;
    CTkvs_Create(&reused, nullptr);
    EXPECT_NE(reused, set) << "a slot comes back under a new generation";
    EXPECT_EQ(CTkvs_GetCount(set, &count, &error), CT_FAILURE);
    CTkvs_Destroy(reused, nullptr);
}

TEST(KVSetCalls, PuttingAKeyAgainReleasesTheViewsOfItsOldValue) {
    CallerSet set;
    CallerSet inner;
    CTkvs_PutKVSet(set, KEY_MapSource, inner, nullptr);
    CTkvs view = 0;
    ASSERT_EQ(CTkvs_GetKVSet(set, KEY_MapSource, &view, nullptr), CT_SUCCESS);
    CTkvs_PutInt(set, KEY_MapSource, 1, nullptr);
    uint32_t count = 0;
    CTerror error = 0;
    EXPECT_EQ(CTkvs_GetCount(view, &count, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_InvalidHandle);
}

TEST(KVSetCalls, CopyReplacesEqualKeysAndKeepsTheOthers) {
    CallerSet destination;
    CallerSet source;
    CTkvs_PutString(destination, KEY_AsiName, "old", nullptr);
    CTkvs_PutInt(destination, SVC_MaxRestarts, 1, nullptr);
    CTkvs_PutUInt(source, SVC_Processor, 3, nullptr);
    CTkvs_PutString(source, KEY_AsiName, "new", nullptr);

    ASSERT_EQ(CTkvs_Copy(destination, source, nullptr), CT_SUCCESS);
    uint32_t count = 0;
    CTkvs_GetCount(destination, &count, nullptr);
    EXPECT_EQ(count, 3u);
    const char* text = nullptr;
    CTkvs_GetString(destination, KEY_AsiName, &text, nullptr);
    EXPECT_STREQ(text, "new");
    CTsymbol key = 0;
    CTkvs_GetKeyAt(destination, 0, &key, nullptr);
    EXPECT_EQ(key, KEY_AsiName);
    CTkvs_GetKeyAt(destination, 2, &key, nullptr);
    EXPECT_EQ(key, SVC_Processor);
    CTkvs_GetCount(source, &count, nullptr);
    EXPECT_EQ(count, 2u) << "the source is left alone";

    ASSERT_EQ(CTkvs_Copy(destination, destination, nullptr), CT_SUCCESS);
    CTkvs_GetCount(destination, &count, nullptr);
    EXPECT_EQ(count, 3u);
}

TEST(KVSetCalls, TheEmptySetCannotBeChanged) {
    CTerror error = 0;
    uint32_t count = 5;
    EXPECT_EQ(CTkvs_GetCount(CT_kvsEmpty, &count, nullptr), CT_SUCCESS);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(CTkvs_PutInt(CT_kvsEmpty, SVC_MaxRestarts, 1, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_ReadOnly);
    const char* one[] = {"x"};
    EXPECT_EQ(CTkvs_PutStringArray(CT_kvsEmpty, KEY_SPNames, one, 1, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_ReadOnly);
    CallerSet source;
    CTkvs_PutInt(source, SVC_MaxRestarts, 1, nullptr);
    EXPECT_EQ(CTkvs_Copy(CT_kvsEmpty, source, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_ReadOnly);
    EXPECT_EQ(CTkvs_Destroy(CT_kvsEmpty, &error), CT_SUCCESS) << "documented as a no-op";
    EXPECT_EQ(CTkvs_GetCount(CT_kvsEmpty, &count, nullptr), CT_SUCCESS);
    EXPECT_EQ(count, 0u);
    int32_t number = 0;
    EXPECT_EQ(CTkvs_GetInt(CT_kvsEmpty, SVC_MaxRestarts, &number, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_NotFound);
}

TEST(KVSetCalls, TypedArraysRoundTripAndEmptyArraysReadAsAnyType) {
    CallerSet set;
    const int32_t ints[] = {-1, 0, 7};
    const CTbool bools[] = {1, 0, 2};
    const CTsymbol states[] = {SVC_StateIdle, SVC_StateRunning};
    CTkvs_PutIntArray(set, SVC_MaxRestarts, ints, 3, nullptr);
    CTkvs_PutBoolArray(set, SVC_Disabled, bools, 3, nullptr);
    CTkvs_PutSymbolArray(set, KEY_ServiceStates, states, 2, nullptr);
    CTkvs_PutStringArray(set, KEY_ServiceNames, nullptr, 0, nullptr);

    const int32_t* gotInts = nullptr;
    const CTbool* gotBools = nullptr;
    const CTsymbol* gotSymbols = nullptr;
    const uint32_t* gotWords = nullptr;
    const CTkvs* gotSets = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(CTkvs_GetIntArray(set, SVC_MaxRestarts, &gotInts, &count, nullptr), CT_SUCCESS);
    EXPECT_EQ(std::vector<int32_t>(gotInts, gotInts + count), std::vector<int32_t>({-1, 0, 7}));
    ASSERT_EQ(CTkvs_GetBoolArray(set, SVC_Disabled, &gotBools, &count, nullptr), CT_SUCCESS);
    EXPECT_EQ(std::vector<CTbool>(gotBools, gotBools + count), std::vector<CTbool>({1, 0, 2}));
    ASSERT_EQ(CTkvs_GetSymbolArray(set, KEY_ServiceStates, &gotSymbols, &count, nullptr),
              CT_SUCCESS);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(gotSymbols[1], SVC_StateRunning);

    CTerror error = 0;
    EXPECT_EQ(CTkvs_GetUIntArray(set, SVC_MaxRestarts, &gotWords, &count, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_WrongType);
    EXPECT_EQ(CTkvs_GetIntArray(set, KEY_ServiceNames, &gotInts, &count, nullptr), CT_SUCCESS);
    EXPECT_EQ(count, 0u);
    EXPECT_NE(gotInts, nullptr);
    EXPECT_EQ(CTkvs_GetKVSetArray(set, KEY_ServiceNames, &gotSets, &count, nullptr), CT_SUCCESS);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(CTkvs_GetIntArray(set, KEY_SPNames, &gotInts, &count, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_NotFound);
}

TEST(KVSetCalls, SetArraysAreCopiesReadBackAsViews) {
    CallerSet first;
    CallerSet second;
    CTkvs_PutString(first, KEY_EndpointAsi, "A1", nullptr);
    CTkvs_PutUInt(second, SVC_Processor, 8, nullptr);
    const CTkvs elements[] = {first, second};
    CallerSet set;
    ASSERT_EQ(CTkvs_PutKVSetArray(set, KEY_MapDestinations, elements, 2, nullptr), CT_SUCCESS);
    CTkvs_PutString(first, KEY_EndpointAsi, "changed later", nullptr);
    const uint32_t words[] = {4000000000u};
    ASSERT_EQ(CTkvs_PutUIntArray(set, SVC_Processor, words, 1, nullptr), CT_SUCCESS);

    const CTkvs* views = nullptr;
    const uint32_t* gotWords = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(CTkvs_GetKVSetArray(set, KEY_MapDestinations, &views, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(count, 2u);
    const char* text = nullptr;
    ASSERT_EQ(CTkvs_GetString(views[0], KEY_EndpointAsi, &text, nullptr), CT_SUCCESS);
    EXPECT_STREQ(text, "A1") << "the put copied the set";
    uint32_t processor = 0;
    ASSERT_EQ(CTkvs_GetUInt(views[1], SVC_Processor, &processor, nullptr), CT_SUCCESS);
    EXPECT_EQ(processor, 8u);
    ASSERT_EQ(CTkvs_GetUIntArray(set, SVC_Processor, &gotWords, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(gotWords[0], 4000000000u);
    CTerror error = 0;
    const CTkvs stale[] = {first, 0x7FFFFFFF};
    EXPECT_EQ(CTkvs_PutKVSetArray(set, KEY_Mappings, stale, 2, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_InvalidHandle);
}

TEST(KVSetCalls, ArraysOfArraysAreBuiltAndReadBack) {
    CTary groupSet = 0;
    CTary groupSets = 0;
    ASSERT_EQ(CTary_Create(&groupSet, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTary_Create(&groupSets, nullptr), CT_SUCCESS);
    CTary_AppendString(groupSet, "GS1", nullptr);
    CTary_AppendString(groupSet, "R1", nullptr);
    CTerror error = 0;
    EXPECT_EQ(CTary_AppendArray(groupSet, groupSets, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_WrongType);
    ASSERT_EQ(CTary_AppendArray(groupSets, groupSet, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTary_AppendArray(groupSets, groupSet, nullptr), CT_SUCCESS);
    CallerSet set;
    ASSERT_EQ(CTkvs_PutArray(set, KEY_GroupSets, groupSets, nullptr), CT_SUCCESS);
    CTary_Destroy(groupSet, nullptr);
    CTary_Destroy(groupSets, nullptr);

    CTary array = 0;
    const CTary* elements = nullptr;
    const char* const* strings = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(CTkvs_GetArray(set, KEY_GroupSets, &array, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTary_GetArray(array, &elements, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(count, 2u);
    ASSERT_EQ(CTary_GetString(elements[1], &strings, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(strings[0], "GS1");
    EXPECT_STREQ(strings[1], "R1");
    EXPECT_EQ(CTary_GetString(array, &strings, &count, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_WrongType);
    EXPECT_EQ(CTary_AppendString(array, "x", &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_ReadOnly);
    EXPECT_EQ(CTary_Destroy(array, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_InvalidHandle);
    EXPECT_EQ(CTary_GetCount(set, &count, &error), CT_FAILURE) << "a set is no array handle";
    EXPECT_EQ(error, CTerr_InvalidHandle);
}

// Puts an array of one array of strings under key.
void PutGroupSets(CTkvs set, CTsymbol key, std::initializer_list<const char*> texts) {
    CTary strings = 0;
    CTary outer = 0;
    CTary_Create(&strings, nullptr);
    CTary_Create(&outer, nullptr);
    for (const char* text : texts) {
        CTary_AppendString(strings, text, nullptr);
    }
    CTary_AppendArray(outer, strings, nullptr);
    ASSERT_EQ(CTkvs_PutArray(set, key, outer, nullptr), CT_SUCCESS);
    CTary_Destroy(strings, nullptr);
    CTary_Destroy(outer, nullptr);
}

// The strings of the first element of the array of arrays under key, read through views.
std::vector<std::string> FirstElementStrings(CTkvs set, CTsymbol key, CTary& element) {
    CTary array = 0;
    const CTary* elements = nullptr;
    const char* const* strings = nullptr;
    uint32_t count = 0;
    std::vector<std::string> read;
    if (CTkvs_GetArray(set, key, &array, nullptr) != CT_SUCCESS ||
        CTary_GetArray(array, &elements, &count, nullptr) != CT_SUCCESS || count == 0) {
        return read;
    }
    element = elements[0];
    if (CTary_GetString(element, &strings, &count, nullptr) == CT_SUCCESS) {
        read.assign(strings, strings + count);
    }
    return read;
}

TEST(KVSetCalls, ViewsOfViewsGoWithTheirValueAndFreedSlotsHandOutOnlyTheirOwn) {
    CallerSet set;
    PutGroupSets(set, KEY_GroupSets, {"GS1", "R1"});
    CTary oldElement = 0;
    ASSERT_EQ(FirstElementStrings(set, KEY_GroupSets, oldElement),
              (std::vector<std::string>{"GS1", "R1"}));
    const char* const* oldStrings = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(CTary_GetString(oldElement, &oldStrings, &count, nullptr), CT_SUCCESS);

    // Other keys' hand-outs stay while one key is put again.
    PutGroupSets(set, KEY_Resources, {"kept"});
    CTary keptElement = 0;
    ASSERT_EQ(FirstElementStrings(set, KEY_Resources, keptElement),
              std::vector<std::string>{"kept"});
    PutGroupSets(set, KEY_GroupSets, {"GS2", "R2", "CFG=R2"});
    CTerror error = 0;
    EXPECT_EQ(CTary_GetCount(oldElement, &count, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_InvalidHandle) << "an element view goes with the value it came from";

    // The freed slots come back for the new views with nothing of the old hand-outs.
    CTary newElement = 0;
    EXPECT_EQ(FirstElementStrings(set, KEY_GroupSets, newElement),
              (std::vector<std::string>{"GS2", "R2", "CFG=R2"}));
    EXPECT_NE(newElement, oldElement);
    const char* const* keptStrings = nullptr;
    ASSERT_EQ(CTary_GetString(keptElement, &keptStrings, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(count, 1u);
    EXPECT_STREQ(keptStrings[0], "kept");

    // An owned array that grows hands out its new contents.
    CTary owned = 0;
    ASSERT_EQ(CTary_Create(&owned, nullptr), CT_SUCCESS);
    CTary_AppendString(owned, "one", nullptr);
    ASSERT_EQ(CTary_GetString(owned, &keptStrings, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(count, 1u);
    CTary_AppendString(owned, "two", nullptr);
    ASSERT_EQ(CTary_GetString(owned, &keptStrings, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(keptStrings[1], "two");
    CTary_Destroy(owned, nullptr);
}

TEST(KVSetCalls, LimitsAreRefusedCleanly) {
    CallerSet set;
    CTerror error = 0;
    const std::string tooLong(CT_MAX_STRING + 1, 'x');
    EXPECT_EQ(CTkvs_PutString(set, KEY_AsiName, tooLong.c_str(), &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_LimitExceeded);
    const char* elements[] = {"ok", tooLong.c_str()};
    EXPECT_EQ(CTkvs_PutStringArray(set, KEY_SPNames, elements, 2, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_LimitExceeded);
    uint32_t count = 9;
    CTkvs_GetCount(set, &count, nullptr);
    EXPECT_EQ(count, 0u);

    // Nest sets through the C API until the bound refuses one more level.
    CTkvs chain = 0;
    CTkvs_Create(&chain, nullptr);
    int levels = 1;
    for (;;) {
        CTkvs outer = 0;
        CTkvs_Create(&outer, nullptr);
        const CTstatus status = CTkvs_PutKVSet(outer, KEY_MapSource, chain, &error);
        CTkvs_Destroy(status == CT_SUCCESS ? chain : outer, nullptr);
        if (status != CT_SUCCESS) {
            break;
        }
        chain = outer;
        ++levels;
    }
    CTkvs_Destroy(chain, nullptr);
    EXPECT_EQ(levels, CT_MAX_DEPTH);
    EXPECT_EQ(error, CTerr_LimitExceeded);
}

TEST(KVSetBridge, HandlesAndTheModelMeet) {
    s100::KVSet model;
    model.put(KEY_ProfileNames, s100::Value::integer(3));
    CTkvs handle = 0;
    ASSERT_EQ(s100::makeHandle(model, handle), CTerr_NoError);
    int32_t number = 0;
    EXPECT_EQ(CTkvs_GetInt(handle, KEY_ProfileNames, &number, nullptr), CT_SUCCESS);
    EXPECT_EQ(number, 3);

    s100::KVSet replacement;
    replacement.put(KEY_SPNames, s100::Value::string("sp"));
    ASSERT_EQ(s100::replaceContents(handle, replacement), CTerr_NoError);
    s100::KVSet back;
    ASSERT_EQ(s100::copyFromHandle(handle, back), CTerr_NoError);
    EXPECT_EQ(back, replacement);
    EXPECT_EQ(s100::replaceContents(CT_kvsEmpty, replacement), CTerr_ReadOnly);
    CTkvs_Destroy(handle, nullptr);
    EXPECT_EQ(s100::copyFromHandle(handle, back), CTerr_InvalidHandle);
}

// A string array as it arrives: its strings in one block, each ending in a NUL.
s100::Array receivedStrings(const std::string& bytes) {
    s100::Array array;
    const char* why = "";
    EXPECT_EQ(s100::Array::fromPacked(std::make_shared<const std::string>(bytes), array, why),
              CTerr_NoError)
        << why;
    return array;
}

TEST(KVSetBridge, AReceivedStringArrayReadsAsOneBuiltElementByElement) {
    const std::string bytes("R1\0\0Zed\0", 8);
    const s100::Array received = receivedStrings(bytes);
    s100::Array built;
    for (const char* text : {"R1", "", "Zed"}) {
        built.append(s100::Value::string(text));
    }
    EXPECT_EQ(received, built);
    EXPECT_EQ(built, received);
    EXPECT_FALSE(received == receivedStrings(std::string("R1\0Zed\0", 7)));

    // Through the C API: the set's own table of texts, also inside an array of arrays.
    s100::Array nested;
    nested.append(s100::Value::array(received));
    s100::KVSet model;
    model.put(KEY_ProfileNames, s100::Value::array(received));
    model.put(KEY_GroupSets, s100::Value::array(nested));
    CTkvs handle = 0;
    ASSERT_EQ(s100::makeHandle(model, handle), CTerr_NoError);
    const char* const* texts = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(CTkvs_GetStringArray(handle, KEY_ProfileNames, &texts, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(count, 3u);
    EXPECT_STREQ(texts[0], "R1");
    EXPECT_STREQ(texts[1], "");
    EXPECT_STREQ(texts[2], "Zed");
    CTary outer = 0;
    ASSERT_EQ(CTkvs_GetArray(handle, KEY_GroupSets, &outer, nullptr), CT_SUCCESS);
    const CTary* arrays = nullptr;
    ASSERT_EQ(CTary_GetArray(outer, &arrays, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(count, 1u);
    ASSERT_EQ(CTary_GetString(arrays[0], &texts, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(count, 3u);
    EXPECT_STREQ(texts[2], "Zed");
    EXPECT_EQ(s100::printKVSet(model),
              "{\n  KEY_ProfileNames: [ \"R1\" \"\" \"Zed\" ]\n"
              "  KEY_GroupSets: [\n    [ \"R1\" \"\" \"Zed\" ]\n  ]\n}");
    CTkvs_Destroy(handle, nullptr);

    // Appending to a received array keeps what it held, in order.
    s100::Array grown = received;
    ASSERT_EQ(grown.append(s100::Value::string("last")), CTerr_NoError);
    EXPECT_EQ(grown.append(s100::Value::integer(1)), CTerr_WrongType);
    ASSERT_EQ(grown.size(), 4u);
    EXPECT_EQ(grown.stringAt(0), "R1");
    EXPECT_EQ(grown.stringAt(3), "last");
    EXPECT_EQ(received.size(), 3u);
}

TEST(KVSetBridge, AReceivedStringArrayOverABoundIsRefused) {
    s100::Array array;
    const char* why = "";
    EXPECT_EQ(s100::Array::fromPacked(std::make_shared<const std::string>("ab"), array, why),
              CTerr_InvalidArgument);
    EXPECT_STREQ(why, "packed strings cut short");
    std::string tooLong(CT_MAX_STRING + 1, 'x');
    tooLong.push_back('\0');
    EXPECT_EQ(s100::Array::fromPacked(std::make_shared<const std::string>(tooLong), array, why),
              CTerr_LimitExceeded);
    EXPECT_STREQ(why, "string too long");
    EXPECT_TRUE(array.empty());
}

TEST(KVSetBridge, ABoolWordOtherThanOneSurvivesTextAndHandles) {
    s100::ParseError parseError;
    const std::optional<s100::KVSet> parsed =
        s100::parseKVSet("{ SVC_Disabled: BOOL(2) SVC_DetectHangs: TRUE }", parseError);
    ASSERT_TRUE(parsed) << parseError.text();
    CTkvs handle = 0;
    ASSERT_EQ(s100::makeHandle(*parsed, handle), CTerr_NoError);
    CTbool word = 0;
    ASSERT_EQ(CTkvs_GetBool(handle, SVC_Disabled, &word, nullptr), CT_SUCCESS);
    EXPECT_EQ(word, 2u);
    s100::KVSet back;
    ASSERT_EQ(s100::copyFromHandle(handle, back), CTerr_NoError);
    EXPECT_EQ(s100::printKVSet(back), "{\n  SVC_Disabled: BOOL(2)\n  SVC_DetectHangs: TRUE\n}");
    CTkvs_Destroy(handle, nullptr);
}

TEST(KVSetBridge, HandlesAreSafeFromSeveralThreads) {
    auto churn = [] {
        for (int round = 0; round < 500; ++round) {
            CTkvs set = 0;
            const char* text = nullptr;
            ASSERT_EQ(CTkvs_Create(&set, nullptr), CT_SUCCESS);
            ASSERT_EQ(CTkvs_PutString(set, KEY_AsiName, "A1", nullptr), CT_SUCCESS);
            ASSERT_EQ(CTkvs_GetString(set, KEY_AsiName, &text, nullptr), CT_SUCCESS);
            EXPECT_STREQ(text, "A1");
            ASSERT_EQ(CTkvs_Destroy(set, nullptr), CT_SUCCESS);
        }
    };
    std::thread first(churn);
    std::thread second(churn);
    first.join();
    second.join();
}

TEST(KVSetBridge, InitializeAndShutdownAreHarmlessTwice) {
    EXPECT_EQ(CT_Initialize(nullptr), CT_SUCCESS);
    EXPECT_EQ(CT_Initialize(nullptr), CT_SUCCESS);
    EXPECT_TRUE(s100::isInitialized());
    EXPECT_EQ(CT_Shutdown(nullptr), CT_SUCCESS);
    EXPECT_EQ(CT_Shutdown(nullptr), CT_SUCCESS);
    EXPECT_FALSE(s100::isInitialized());
}

TEST(EventRecord, LayoutMatchesTheCallers) {
    EXPECT_EQ(sizeof(CTevtinfo), 52u);
    EXPECT_EQ(offsetof(CTevtinfo, size), 0u);
    EXPECT_EQ(offsetof(CTevtinfo, kvs), 4u);
    EXPECT_EQ(offsetof(CTevtinfo, error), 36u);
    CTevtinfo record{};
    record.error = CTerr_NotFound;
    ASSERT_EQ(CTsym_LoadTable(0, &record, nullptr), CT_SUCCESS);
    EXPECT_EQ(record.error, CTerr_NoError);
}

}  // namespace
