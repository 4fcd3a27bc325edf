#pragma once
// Bytes from outside (names, paths, what a program wrote) shown to people. They may be UTF-8,
// another encoding or no text at all; one rule makes text of them that is safe in a window, a
// terminal, a tab-separated row and a log line alike:
//
// - Bytes that are well-formed UTF-8 without a control character are shown as they are.
// - Otherwise every byte that is not part of such a character is shown as \xHH (two upper-case
//   hex digits) and every backslash as \\; the other characters stay as they are.
//
// Control characters are C0 (tab and line feed included), DEL, C1, the line and paragraph
// separators U+2028 and U+2029 and the bidirectional embeddings, overrides and isolates
// (U+202A..U+202E, U+2066..U+2069): what could drive a terminal, end a line, row or cell, or
// show a text in another order than it is stored.
//
// Whether a shown text holds escapes follows from its bytes (NeedsEscapes); knowing that,
// BytesOfShown reads any shown text back to its bytes. A backslash alone is left as it is so
// that paths stay readable; a reader tells escapes from text by the doubled backslashes.

#include <cstddef>
#include <string>
#include <string_view>

namespace tlv::platform {

// One UTF-8 character at the start of some bytes: its length in bytes, 0 when the bytes do not
// start with a well-formed character (no overlong forms, surrogates or code points above
// U+10FFFF), and its code point.
struct Utf8Char {
    std::size_t length = 0;
    char32_t code = 0;
};
Utf8Char FirstUtf8Char(std::string_view bytes);

bool IsControlCharacter(char32_t code);
// The value of a hex digit of either case; -1 for any other character.
int HexDigitValue(char c);
bool IsUtf8(std::string_view bytes);

// True when the bytes are shown with escapes: not UTF-8, or holding a control character.
bool NeedsEscapes(std::string_view bytes);

// The UTF-8 text that shows the bytes.
std::string ShownBytes(std::string_view bytes);

// The bytes a shown text stands for: with escapes read back when the text was shown escaped
// (an incomplete escape stays as written), else the text itself.
std::string BytesOfShown(std::string_view shown, bool escaped);

}  // namespace tlv::platform
