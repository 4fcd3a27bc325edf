#include "s100/kvs/notation.h"

#include <gtest/gtest.h>

namespace s100 {
namespace {

// A set with every value type, nested sets, arrays of arrays and awkward strings.
KVSet everyType() {
    KVSet inner;
    inner.put(KEY_EndpointProfile, Value::string("SCR_AppProfile"));
    inner.put(KEY_EndpointAsi, Value::string(""));
    Array strings;
    strings.append(Value::string("GS1"));
    strings.append(Value::string("quote \" backslash \\ tab \t newline \n byte \x01 high \xFF"));
    Array ints;
    ints.append(Value::integer(INT32_MIN));
    ints.append(Value::integer(INT32_MAX));
    Array arrays;
    arrays.append(Value::array(strings));
    arrays.append(Value::array(ints));
    arrays.append(Value::array(Array{}));
    Array sets;
    sets.append(Value::set(inner));
    sets.append(Value::set(KVSet{}));
    KVSet set;
    set.put(KEY_AsiName, Value::string("A1"));
    set.put(SVC_MaxRestarts, Value::integer(0));
    set.put(SVC_Processor, Value::uinteger(UINT32_MAX));
    set.put(SVC_Disabled, Value::boolean(2));
    set.put(SVC_DetectHangs, Value::boolean(1));
    set.put(SVC_LinkEarly, Value::boolean(0));
    set.put(SVC_Kind, Value::symbol(SVC_KindDLL));
    set.put(0x12345678, Value::symbol(0x0000ABCD));
    set.put(KEY_MapSource, Value::set(inner));
    set.put(KEY_GroupSets, Value::array(arrays));
    set.put(KEY_MapDestinations, Value::array(sets));
    set.put(KEY_Resources, Value::array(Array{}));
    return set;
}

ParseError errorOf(std::string_view text) {
    ParseError error;
    EXPECT_FALSE(parseKVSet(text, error)) << text;
    return error;
}

TEST(Notation, PrintThenParseGivesTheSameSet) {
    const KVSet set = everyType();
    const std::string text = printKVSet(set);
    ParseError error;
    const std::optional<KVSet> parsed = parseKVSet(text, error);
    ASSERT_TRUE(parsed) << error.text() << "\n" << text;
    EXPECT_EQ(*parsed, set);
    EXPECT_EQ(printKVSet(*parsed), text);
}

TEST(Notation, PrinterLayoutIsReadableAndExact) {
    KVSet inner;
    inner.put(KEY_AsiName, Value::string("A1"));
    Array asis;
    asis.append(Value::set(inner));
    Array resources;
    resources.append(Value::string("R1=board1"));
    KVSet set;
    set.put(KEY_AsiList, Value::array(asis));
    set.put(KEY_Resources, Value::array(resources));
    set.put(SVC_MaxRestarts, Value::integer(3));
    set.put(SVC_Disabled, Value::boolean(2));
    set.put(0x00000005, Value::symbol(SVC_Root));
    EXPECT_EQ(printKVSet(set),
              "{\n"
              "  KEY_AsiList: [\n"
              "    {\n"
              "      KEY_AsiName: \"A1\"\n"
              "    }\n"
              "  ]\n"
              "  KEY_Resources: [ \"R1=board1\" ]\n"
              "  SVC_MaxRestarts: +3\n"
              "  SVC_Disabled: BOOL(2)\n"
              "  0x00000005: SVC_Root\n"
              "}");
    EXPECT_EQ(printKVSet(KVSet{}), "{ }");
}

TEST(Notation, ParsesTheWholeGrammar) {
    ParseError error;
    const std::optional<KVSet> set = parseKVSet(
        "# leading comment\n"
        "{ SVC_Disabled:BOOL(2) SVC_DetectHangs: TRUE # trailing comment\n"
        "  0x01100963 : 0012 SVC_MaxRestarts: -2147483648 SVC_StartTimeout: +15\n"
        "  SVC_Kind: 0x0110091B KEY_AsiName: \"a\\x41\\x7f\\n\" KEY_Resources: [] }\n",
        error);
    ASSERT_TRUE(set) << error.text();
    EXPECT_EQ(set->find(SVC_Disabled)->asBool(), 2u);
    EXPECT_EQ(set->find(SVC_DetectHangs)->asBool(), 1u);
    EXPECT_EQ(set->find(SVC_Processor)->asUInt(), 12u);
    EXPECT_EQ(set->find(SVC_MaxRestarts)->asInt(), INT32_MIN);
    EXPECT_EQ(set->find(SVC_StartTimeout)->asInt(), 15);
    EXPECT_EQ(set->find(SVC_Kind)->asSymbol(), SVC_KindDLL);
    EXPECT_EQ(set->find(KEY_AsiName)->asString(), "aA\x7f\n");
    EXPECT_TRUE(set->find(KEY_Resources)->asArray().empty());
}

TEST(Notation, EveryErrorNamesItsLineAndColumn) {
    struct Case {
        const char* text;
        int line;
        int column;
        const char* message;
    };
    const Case cases[] = {
        {"", 1, 1, "empty input: expected '{'"},
        {"  # only a comment\n", 2, 1, "empty input: expected '{'"},
        {"[ ]", 1, 1, "expected '{'"},
        {"{\n  KEY_Foo: 1 }", 2, 3, "unknown symbol name 'KEY_Foo'"},
        {"{ KEY_AsiName: KEY_Bar }", 1, 16, "unknown symbol name 'KEY_Bar'"},
        {"{ KEY_AsiName \"x\" }", 1, 15, "expected ':' after key"},
        {"{ KEY_AsiName: \"abc\n }", 1, 16, "unterminated string"},
        {"{ KEY_AsiName: \"a\\qb\" }", 1, 18, "unknown escape '\\q'"},
        {"{ KEY_AsiName: \"a\\x4\" }", 1, 20, "expected two hex digits after '\\x'"},
        {"{ KEY_AsiName: \"a\\x00\" }", 1, 18, "NUL byte in a string"},
        {"{ SVC_MaxRestarts: +2147483648 }", 1, 20, "integer out of range"},
        {"{ SVC_MaxRestarts: -2147483649 }", 1, 20, "integer out of range"},
        {"{ SVC_Processor: 4294967296 }", 1, 18, "integer out of range"},
        {"{ SVC_Processor: 12ab }", 1, 20, "unexpected character 'a' in a number"},
        {"{ SVC_MaxRestarts: + }", 1, 21, "expected digits after the sign"},
        {"{ SVC_Kind: 0x123 }", 1, 13, "expected 0x and exactly 8 hex digits"},
        {"{ 0x1234567890: 1 }", 1, 3, "expected 0x and exactly 8 hex digits"},
        {"{ KEY_Resources: [ \"a\" 1 ] }", 1, 24, "mixed element types in array"},
        {"{ KEY_Resources: [ \"a\" ", 1, 24, "expected a value or ']'"},
        {"{ KEY_AsiName: 1 KEY_AsiName: 2 }", 1, 18, "duplicate key 'KEY_AsiName'"},
        {"{ KEY_AsiName: 1 } x", 1, 20, "unexpected text after the KV set"},
        {"{ KEY_AsiName: 1 } }", 1, 20, "unexpected text after the KV set"},
        {"{ KEY_AsiName: 1", 1, 17, "expected a key or '}'"},
        {"{ 12: 1 }", 1, 3, "expected a key or '}'"},
        {"{ KEY_AsiName: }", 1, 16, "unexpected character '}', expected a value"},
        {"{ KEY_AsiName: BOOL(x) }", 1, 21, "expected digits after 'BOOL('"},
        {"{ KEY_AsiName: BOOL(1 }", 1, 22, "expected ')' after the BOOL word"},
        {"{ KEY_AsiName: BOOL(4294967296) }", 1, 16, "integer out of range"},
        {"{ KEY_AsiName: \x01 }", 1, 16, "unexpected character '\\x01', expected a value"},
    };
    for (const Case& c : cases) {
        const ParseError error = errorOf(c.text);
        EXPECT_EQ(error.message, c.message) << c.text;
        EXPECT_EQ(error.position.line, c.line) << c.text;
        EXPECT_EQ(error.position.column, c.column) << c.text;
    }
    EXPECT_EQ(errorOf("{ X: 1 }").text(), "line 1, column 3: unknown symbol name 'X'");
}

TEST(Notation, ErrorsCountFromTheGivenStartPosition) {
    ParseError error;
    EXPECT_FALSE(parseKVSet("{\n KEY_Foo: 1 }", error, TextPosition{5, 1}));
    EXPECT_EQ(error.position.line, 6);
    EXPECT_EQ(error.position.column, 2);
}

TEST(Notation, NestingAndSizeBoundsAreParseErrors) {
    std::string deepest;
    for (int level = 1; level < CT_MAX_DEPTH; ++level) {
        deepest += "{ KEY_MapSource: ";
    }
    deepest += "{ }";
    for (int level = 1; level < CT_MAX_DEPTH; ++level) {
        deepest += " }";
    }
    ParseError error;
    const std::optional<KVSet> parsed = parseKVSet(deepest, error);
    ASSERT_TRUE(parsed) << error.text();
    EXPECT_EQ(parsed->depth(), CT_MAX_DEPTH);

    const std::string tooDeep = "{ KEY_MapSource: [ " + deepest.substr(0, deepest.size()) + " ] }";
    EXPECT_EQ(errorOf(tooDeep).message, "nesting too deep");
    std::string brackets = "{ KEY_Resources: ";
    brackets.append(100000, '[');
    EXPECT_EQ(errorOf(brackets).message, "nesting too deep");

    const std::string longString =
        "{ KEY_AsiName: \"" + std::string(CT_MAX_STRING + 1, 'x') + "\" }";
    const ParseError tooLong = errorOf(longString);
    EXPECT_EQ(tooLong.message, "string too long");
    EXPECT_EQ(tooLong.position.column, 16);
    EXPECT_EQ(errorOf(std::string(kMaxNotationBytes + 1, ' ')).message, "input too large");
}

}  // namespace
}  // namespace s100
