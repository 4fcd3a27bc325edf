#include "tools/tlvadm/output.h"

#include <cstdio>

#include "framework/bytetext.h"
#include "platform/text/shownbytes.h"
#include "session/viewline.h"

namespace {

void PrintTextRow(std::ostream& out, const CViewLine& row) {
    for (int c = 0; c < row.NumberOfItems(); ++c) {
        if (c > 0)
            out << '\t';
        out << tlv::platform::ShownBytes(BytesOfByteString(row.GetItem(c)));
    }
    out << '\n';
}

void PrintJsonRow(std::ostream& out, const CViewLine& row, const std::vector<const char*>& keys) {
    out << '{';
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (k > 0)
            out << ", ";
        out << JsonString(QString::fromLatin1(keys[k])) << ": "
            << JsonString(row.GetItem(static_cast<int>(k)));
    }
    out << '}';
}

}  // namespace

std::string JsonString(const QString& text) {
    std::string literal = "\"";
    for (const char byte : text.toUtf8()) {
        const unsigned char c = static_cast<unsigned char>(byte);
        if (c == '"' || c == '\\') {
            literal += '\\';
            literal += byte;
        } else if (c == '\n') {
            literal += "\\n";
        } else if (c == '\t') {
            literal += "\\t";
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            literal += escape;
        } else {
            literal += byte;
        }
    }
    return literal + '"';
}

void PrintRows(std::ostream& out, const CViewLine* rows, const std::vector<const char*>& keys,
               bool bJson) {
    if (!bJson) {
        for (const CViewLine* row = rows; row != nullptr; row = row->Next())
            PrintTextRow(out, *row);
        return;
    }
    out << '[';
    for (const CViewLine* row = rows; row != nullptr; row = row->Next()) {
        out << (row == rows ? "\n  " : ",\n  ");
        PrintJsonRow(out, *row, keys);
    }
    out << (rows != nullptr ? "\n]\n" : "]\n");
}

void PrintJsonObject(std::ostream& out,
                     std::initializer_list<std::pair<const char*, QString>> members) {
    out << "[\n  {";
    bool bFirst = true;
    for (const auto& [key, value] : members) {
        out << (bFirst ? "" : ", ") << JsonString(QString::fromLatin1(key)) << ": "
            << JsonString(value);
        bFirst = false;
    }
    out << "}\n]\n";
}
