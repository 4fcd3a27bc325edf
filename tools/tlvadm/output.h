#pragma once
// How tlvadm prints what the document holds: text rows with tab-separated cells, or JSON.

#include <QString>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CViewLine;

// Text: one line per row, cells joined by a tab, each cell shown by the rule of
// platform/text/shownbytes.h. JSON: an array with one object per row whose members are named by
// keys, in cell order.
void PrintRows(std::ostream& out, const CViewLine* rows, const std::vector<const char*>& keys,
               bool bJson);

// One object whose members hold bytes (JsonBytesMember), in the given order, as a JSON array of
// one element.
void PrintJsonObject(std::ostream& out,
                     std::initializer_list<std::pair<const char*, std::string>> members);

// A JSON string literal of our own text. Control characters (platform/text/shownbytes.h) are
// written as escapes: \n, \t or \uXXXX.
std::string JsonString(const QString& text);

// A member whose value is bytes from the server or the command line, which need not be UTF-8:
// "key": the bytes as text, each byte that is no part of a UTF-8 character written as U+FFFD;
// and only when there was such a byte, after it, "key_bytes": the exact bytes in base64
// (RFC 4648, with padding), so that a script can still name the object. A \u00XX escape
// would not do: every JSON reader takes it for the character U+00XX, not for a byte.
std::string JsonBytesMember(std::string_view key, std::string_view bytes);
// The same for a list: "key": [...] and, when any element is not UTF-8, "key_bytes": [...]
// with every element in base64.
std::string JsonBytesListMember(std::string_view key, const std::vector<std::string>& list);
