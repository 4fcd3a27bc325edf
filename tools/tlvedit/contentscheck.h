#pragma once
// The profile's contents as the operator types them: text in the KV set notation, checked
// into a set or the first parse error with its line and column.

#include <QString>
#include <optional>

#include "s100/kvs/notation.h"
#include "s100/kvs/value.h"

struct ContentsCheck {
    std::optional<s100::KVSet> contents;  // set when the text parses
    s100::ParseError error;               // the first error otherwise
};

// The text is read as UTF-8, so columns count bytes of that encoding.
ContentsCheck CheckContents(const QString& text);

// The text the editor shows for a set: the library's canonical notation.
QString ContentsText(const s100::KVSet& contents);
