#include "tools/tlvadm/output.h"

#include <QByteArray>
#include <cstdio>

#include "framework/bytetext.h"
#include "platform/text/shownbytes.h"
#include "session/viewline.h"

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The JSON string literal of the bytes, lossy where they are not UTF-8 (see JsonBytesMember).
std::string JsonLiteral(std::string_view bytes) {
    std::string literal = "\"";
    for (std::size_t at = 0; at < bytes.size();) {
        const tlv::platform::Utf8Char c = tlv::platform::FirstUtf8Char(bytes.substr(at));
        if (c.length == 0) {
            literal += kReplacementCharacter;
            at += 1;
            continue;
        }
        if (c.code == '"' || c.code == '\\') {
            literal += '\\';
            literal += static_cast<char>(c.code);
        } else if (c.code == '\n') {
            literal += "\\n";
        } else if (c.code == '\t') {
            literal += "\\t";
        } else if (tlv::platform::IsControlCharacter(c.code)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c.code));
            literal += escape;
        } else {
            literal.append(bytes.substr(at, c.length));
        }
        at += c.length;
    }
    return literal + '"';
}

std::string Base64Literal(std::string_view bytes) {
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return '"' + raw.toBase64().toStdString() + '"';
}

std::string MemberName(std::string_view key) {
    return JsonLiteral(key) + ": ";
}

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
        out << JsonBytesMember(keys[k], BytesOfByteString(row.GetItem(static_cast<int>(k))));
    }
    out << '}';
}

}  // namespace

std::string JsonString(const QString& text) {
    return JsonLiteral(text.toStdString());
}

std::string JsonBytesMember(std::string_view key, std::string_view bytes) {
    std::string member = MemberName(key) + JsonLiteral(bytes);
    if (!tlv::platform::IsUtf8(bytes))
        member += ", " + MemberName(std::string(key) + "_bytes") + Base64Literal(bytes);
    return member;
}

std::string JsonBytesListMember(std::string_view key, const std::vector<std::string>& list) {
    std::string texts;
    std::string exact;
    bool bAllUtf8 = true;
    for (const std::string& element : list) {
        const char* separator = texts.empty() ? "" : ", ";
        texts += separator + JsonLiteral(element);
        exact += separator + Base64Literal(element);
        bAllUtf8 = bAllUtf8 && tlv::platform::IsUtf8(element);
    }
    std::string member = MemberName(key) + '[' + texts + ']';
    if (!bAllUtf8)
        member += ", " + MemberName(std::string(key) + "_bytes") + '[' + exact + ']';
    return member;
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
                     std::initializer_list<std::pair<const char*, std::string>> members) {
    out << "[\n  {";
    bool bFirst = true;
    for (const auto& [key, value] : members) {
        out << (bFirst ? "" : ", ") << JsonBytesMember(key, value);
        bFirst = false;
    }
    out << "}\n]\n";
}
