#pragma once
// Text output that no stored name can abuse: control characters (C0, DEL and the C1 range) and
// bytes that are not UTF-8 are shown as escapes, so a name can neither drive the terminal nor
// forge a row or a cell. The backslash is doubled so that an escape is never ambiguous.

#include <QString>
#include <string>

// "\n", "\t", "\r", "\\" and "\xHH" for every other byte that is not printable text.
std::string EscapeText(const std::string& bytes);

// The same as text, for lines built as QString: its UTF-8 gives EscapeText's bytes back.
QString TerminalText(const std::string& bytes);
