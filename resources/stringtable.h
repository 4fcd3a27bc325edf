#pragma once
// The string table: every text the operator is shown, looked up by its id.
//
// The texts come from resources/strings.tsv, compiled into the library at build time; the ids
// have named constants in resources/stringids.h (generated from the same table). No entry has
// an empty text, so an empty result means the id is not in the table.

#include <QString>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "resources/stringids.h"

struct StringEntry {
    unsigned id;
    const char* text;  // NUL-terminated, 8-bit, lives for the whole run
};

class StringTable final {
public:
    StringTable() = delete;

    // The text of the id, or "" (never null) when the table has no such id.
    static const char* Text(unsigned id);

    // Whether the table holds the id.
    static bool Contains(unsigned id);

    // The text as a QString for widgets; the 8-bit texts are read as Latin-1. Empty when unknown.
    static QString Load(unsigned id);

    // The text as UTF-8 with %1..%9 replaced by the arguments (UTF-8 as well), without Qt, for
    // words that a terminal and a window show alike. One pass: an argument's own "%2" stays as
    // it is, and so does a placeholder without an argument.
    static std::string Format(unsigned id, std::initializer_list<std::string_view> args = {});

    // Every entry, sorted by id, each id once.
    static std::span<const StringEntry> Entries();

private:
    static const StringEntry* Find(unsigned id);
};
