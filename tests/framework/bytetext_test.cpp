// Bytes shown as text and read back: UTF-8 as it is, everything else escaped, and every byte
// string comes back from what it showed.

#include "framework/bytetext.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(ByteTextTest, Utf8IsShownAsItIsAndEverythingElseEscaped) {
    EXPECT_EQ(ShownText("Sales"), "Sales");
    EXPECT_EQ(ShownText("C:\\dir"), "C:\\dir");  // a backslash alone needs no escape
    EXPECT_EQ(ShownText("caf\xC3\xA9"), QString::fromUtf8("caf\u00E9"));
    EXPECT_EQ(ShownText("\xF0\x9F\x93\x9E"), QString::fromUtf8("\U0001F4DE"));
    EXPECT_EQ(ShownText("caf\xE9"), "caf\\xE9");
    EXPECT_EQ(ShownText("caf\xE9 C:\\dir"), "caf\\xE9 C:\\\\dir");
    EXPECT_EQ(ShownText("a\tb\x7F"), "a\\x09b\\x7F");
    // UTF-8 characters stay readable among escaped bytes.
    EXPECT_EQ(ShownText("\xC3\xA9\xFF"), QString::fromUtf8("\u00E9\\xFF"));
    // Overlong forms, surrogates, code points above U+10FFFF and cut sequences are no UTF-8.
    EXPECT_EQ(ShownText("\xC0\xAF"), "\\xC0\\xAF");
    EXPECT_EQ(ShownText("\xED\xA0\x80"), "\\xED\\xA0\\x80");
    EXPECT_EQ(ShownText("\xF4\x90\x80\x80"), "\\xF4\\x90\\x80\\x80");
    EXPECT_EQ(ShownText("ab\xC3"), "ab\\xC3");
    EXPECT_EQ(ShownText(std::string_view("a\0b", 3)), "a\\x00b");
    EXPECT_FALSE(NeedsEscapes("caf\xC3\xA9"));
    EXPECT_TRUE(NeedsEscapes("caf\xE9"));
}

TEST(ByteTextTest, EveryByteStringComesBackFromItsShownText) {
    std::mt19937 random(13);
    const std::string alphabet = "aZ\\x9\t\xC3\xA9\xE9\xFF\x80\xF0\x9F";
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        for (std::size_t n = random() % 12; n > 0; --n)
            bytes += alphabet[random() % alphabet.size()];
        EXPECT_EQ(BytesOfShownText(ShownText(bytes), NeedsEscapes(bytes)), bytes);
        EXPECT_EQ(ByteText(bytes).BytesFor(ShownText(bytes)), bytes);
    }
}

TEST(ByteTextTest, AnEditedTextIsReadTheWayItsOriginalWasShown) {
    // Unchanged: the original bytes, even where UTF-8 would encode the text otherwise.
    const ByteText escaped("caf\xE9");
    EXPECT_EQ(escaped.Shown(), "caf\\xE9");
    EXPECT_EQ(escaped.BytesFor("caf\\xE9"), "caf\xE9");
    EXPECT_EQ(escaped.BytesFor("caf\\xE9s"), "caf\xE9s");
    EXPECT_EQ(escaped.BytesFor("C:\\\\caf\\xe9"), "C:\\caf\xE9");
    // An incomplete escape stays as typed.
    EXPECT_EQ(escaped.BytesFor("caf\\xE"), "caf\\xE");
    EXPECT_EQ(escaped.BytesFor(QString::fromUtf8("caf\u00E9")), "caf\xC3\xA9");

    const ByteText plain("C:\\dir");
    EXPECT_EQ(plain.BytesFor("C:\\dir2"), "C:\\dir2");
    EXPECT_EQ(plain.BytesFor("C:\\xE9"), "C:\\xE9");
    EXPECT_EQ(ByteText().BytesFor(QString::fromUtf8("\u00E9")), "\xC3\xA9");
}

}  // namespace
