#pragma once
// How tlvadm prints what the document holds: text rows with tab-separated cells, or JSON.

#include <QString>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

class CViewLine;

// Text: one line per row, cells joined by a tab, each cell shown by the rule of
// platform/text/shownbytes.h. JSON: an array with one object per row whose members are named by
// keys, in cell order.
void PrintRows(std::ostream& out, const CViewLine* rows, const std::vector<const char*>& keys,
               bool bJson);

// One object with string members, in the given order, as a JSON array of one element.
void PrintJsonObject(std::ostream& out,
                     std::initializer_list<std::pair<const char*, QString>> members);

// A JSON string literal of the text (UTF-8, control characters escaped).
std::string JsonString(const QString& text);
