// The escaping rule: what stays, what is escaped, that nothing shown can drive a terminal or
// break a line, and that every shown text reads back to its bytes.

#include "platform/text/shownbytes.h"

#include <gtest/gtest.h>

#include <random>

namespace tlv::platform {
namespace {

TEST(ShownBytesTest, ControlCharactersAndForeignBytesAreEscapedUtf8Stays) {
    EXPECT_EQ(ShownBytes("C:\\Telvane\\caf\xC3\xA9"), "C:\\Telvane\\caf\xC3\xA9");
    EXPECT_EQ(ShownBytes("Jos\xE9"), "Jos\\xE9");
    EXPECT_EQ(ShownBytes("a\tb\nc\x1B[2J\x7F"), "a\\x09b\\x0Ac\\x1B[2J\\x7F");
    // Once escaped, a backslash is doubled so that "\x41" typed as text is not a byte.
    EXPECT_EQ(ShownBytes("\\x41\xFF"), "\\\\x41\\xFF");
    // C1 (a terminal's one-byte CSI), line separators and a right-to-left override are
    // escaped byte by byte; other characters around them stay.
    EXPECT_EQ(ShownBytes("\xC2\x9B" "1m"), "\\xC2\\x9B1m");
    EXPECT_EQ(ShownBytes("a\xE2\x80\xA8" "b"), "a\\xE2\\x80\\xA8b");
    EXPECT_EQ(ShownBytes("\xE2\x80\xAE" "exe.txt \xC3\xA9"), "\\xE2\\x80\\xAEexe.txt \xC3\xA9");
    EXPECT_EQ(ShownBytes(std::string_view("a\0b", 3)), "a\\x00b");
    // No overlong forms, surrogates, code points above U+10FFFF or cut characters.
    EXPECT_EQ(ShownBytes("\xC0\xAF\xED\xA0\x80"), "\\xC0\\xAF\\xED\\xA0\\x80");
    EXPECT_EQ(ShownBytes("\xF4\x90\x80\x80" "ab\xE2\x82"), "\\xF4\\x90\\x80\\x80ab\\xE2\\x82");
    EXPECT_EQ(ShownBytes("\xF0\x9F\x93\x9E"), "\xF0\x9F\x93\x9E");

    EXPECT_TRUE(IsUtf8("\xC2\x9B\xF0\x9F\x93\x9E"));  // controls are still UTF-8
    EXPECT_FALSE(IsUtf8("caf\xE9"));
    EXPECT_EQ(FirstUtf8Char("\xF0\x9F\x93\x9E").code, U'\U0001F4DE');
    EXPECT_EQ(FirstUtf8Char("\xE2\x82").length, 0u);
}

TEST(ShownBytesTest, ShownTextHoldsNoControlAndReadsBackToItsBytes) {
    std::mt19937 random(31);
    const std::string pieces[] = {"a", "\\", "x", "4", "F", "\t", "\n", "\x1B", "\x7F", "\xFF",
                                  "\xC3\xA9", "\xC2\x9B", "\xC2", "\xE2\x80\xA8", "\xE2\x81\xA6",
                                  "\xF0\x9F\x93\x9E", std::string(1, '\0')};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        for (std::size_t n = random() % 10; n > 0; --n)
            bytes += pieces[random() % std::size(pieces)];
        const std::string shown = ShownBytes(bytes);
        ASSERT_TRUE(IsUtf8(shown)) << shown;
        ASSERT_FALSE(NeedsEscapes(shown)) << "a control character reached the text: " << shown;
        ASSERT_EQ(BytesOfShown(shown, NeedsEscapes(bytes)), bytes) << shown;
    }
    // Escapes are read in either case; an incomplete one stays as written.
    EXPECT_EQ(BytesOfShown("\\xe9\\xE9\\x4", true), "\xE9\xE9\\x4");
    EXPECT_EQ(BytesOfShown("\\xE9", false), "\\xE9");
}

}  // namespace
}  // namespace tlv::platform
