#pragma once
// The text notation of KV sets: one readable form for profile files, tools and test logs.
//
//   kvset  := '{' pair* '}'      pair := key ':' value      key := NAME | HEX
//   value  := STRING | INT | UINT | BOOL | symbol | kvset | array
//   STRING := '"' ( byte but '"' '\' | '\"' | '\\' | '\n' | '\t' | '\xHH' )* '"'
//   INT    := ('+' | '-') DIGITS      UINT := DIGITS
//   BOOL   := 'TRUE' | 'FALSE' | 'BOOL(' DIGITS ')'
//   symbol := NAME | HEX      HEX := '0x' 8 hex digits      NAME := [A-Za-z_][A-Za-z0-9_]*
//   array  := '[' value* ']'  (elements of one type; '[ ]' is an empty array of any type)
//
// '#' starts a comment to the end of the line. Names are those of the built-in symbol table.
// Printing then parsing gives back the same set for every set.

#include <optional>
#include <string>
#include <string_view>

#include "s100/kvs/value.h"

namespace s100 {

// Inputs above this size are refused before parsing.
constexpr size_t kMaxNotationBytes = 16u << 20;

// A place in the text: 1-based line and column (columns count bytes).
struct TextPosition {
    int line = 1;
    int column = 1;
};

struct ParseError {
    TextPosition position;
    std::string message;  // e.g. "unknown symbol name 'KEY_Foo'"

    // "line L, column C: message"
    std::string text() const;
};

// Parses exactly one KV set (nothing but white space and comments may follow). start is the
// position of the first byte of text in a larger file, so that errors point into that file.
std::optional<KVSet> parseKVSet(std::string_view text, ParseError& error, TextPosition start = {});

// The canonical text: one pair per line, nested sets and arrays of sets or arrays indented
// by two spaces a level, arrays of scalars on one line; ends without a line break.
std::string printKVSet(const KVSet& set);

}  // namespace s100
