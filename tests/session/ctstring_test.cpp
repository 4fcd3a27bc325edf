#include "session/ctstring.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

std::string Text(const SC_String& text) {
    return static_cast<const char*>(text);
}

TEST(SCStringTest, NullAndSelfAssignmentKeepAValidText) {
    SC_String fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(Text(fromNull), "");
    EXPECT_EQ(fromNull.Length(), 0);

    SC_String text("abc");
    const SC_String& same = text;
    text = same;
    EXPECT_EQ(Text(text), "abc");
    text = static_cast<const char*>(nullptr);
    EXPECT_EQ(Text(text), "");

    // Assigning a text that lives inside the string's own buffer.
    SC_String word("hello");
    word = static_cast<const char*>(word) + 2;
    EXPECT_EQ(Text(word), "llo");
}

TEST(SCStringTest, CopiesAreDeep) {
    SC_String original("abc");
    SC_String copy(original);
    original = "xyz";
    EXPECT_EQ(Text(copy), "abc");
    copy.Concatenate(original);
    EXPECT_EQ(Text(copy), "abcxyz");
    EXPECT_EQ(Text(original), "xyz");
    EXPECT_EQ(copy.Length(), 6);
}

TEST(SCStringTest, ComparisonsAreByteWiseOrIgnoreCase) {
    const SC_String upper("Service");
    const SC_String lower("service");
    EXPECT_EQ(upper.InsensitiveCompareWith(lower), 0);
    EXPECT_NE(upper.CompareWith(lower), 0);
    EXPECT_LT(upper.CompareWith(lower), 0);  // 'S' sorts before 's'
    EXPECT_EQ(upper == lower, 0);
    EXPECT_EQ(upper != lower, 1);
    EXPECT_EQ(upper < lower, 1);
    EXPECT_EQ(lower > upper, 1);
    EXPECT_EQ(SC_String("ab") < SC_String("abc"), 1);
    EXPECT_LT(SC_String("abc").InsensitiveCompareWith(SC_String("ABD")), 0);
    EXPECT_GT(SC_String("b").InsensitiveCompareWith(SC_String("")), 0);
}

TEST(SCStringTest, StreamInputReadsOneWordAndLeavesTheRest) {
    std::istringstream input("  abc def");
    SC_String word;
    input >> word;
    EXPECT_EQ(Text(word), "abc");
    std::string rest;
    std::getline(input, rest);
    EXPECT_EQ(rest, " def");

    std::istringstream two("Sales Application\n{ }");
    SC_String name;
    SC_String profileClass;
    two >> name >> profileClass;
    EXPECT_EQ(Text(name), "Sales");
    EXPECT_EQ(Text(profileClass), "Application");

    // A word running to the end of input, then nothing left.
    std::istringstream last("\tend");
    last >> word;
    EXPECT_EQ(Text(word), "end");
    last >> word;
    EXPECT_EQ(Text(word), "");

    std::ostringstream output;
    output << SC_String("shown");
    EXPECT_EQ(output.str(), "shown");
}

}  // namespace
