// Build-time generator of the string table: reads strings.tsv and writes the id header and the
// table source. Any fault in the table stops the build with the line that holds it.
//
// usage: tlv_stringgen TABLE.tsv OUT_HEADER.h OUT_SOURCE.cpp

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/text/shownbytes.h"

using tlv::platform::HexDigitValue;

namespace {

constexpr unsigned kMaxId = 65535;      // resource ids are 16-bit words
constexpr std::size_t kMaxText = 4096;  // far above the longest message

struct Entry {
    unsigned id = 0;
    std::string name;
    std::string text;  // decoded bytes
    int line = 0;
};

struct TableError {
    int line;
    std::string message;
};

// Decodes the C escapes of one text; nullopt with a reason on a malformed escape.
std::optional<std::string> DecodeText(const std::string& raw, std::string& why) {
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\t' || c == '\r') {
            why = "raw tab or carriage return in text (write \\t)";
            return std::nullopt;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 1 >= raw.size()) {
            why = "text ends in a lone backslash";
            return std::nullopt;
        }
        const char e = raw[++i];
        switch (e) {
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'x': {
                const int hi = i + 1 < raw.size() ? HexDigitValue(raw[i + 1]) : -1;
                const int lo = i + 2 < raw.size() ? HexDigitValue(raw[i + 2]) : -1;
                if (hi < 0 || lo < 0) {
                    why = "\\x needs two hex digits";
                    return std::nullopt;
                }
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default:
                why = std::string("unknown escape \\") + e;
                return std::nullopt;
        }
    }
    return out;
}

bool IsValidName(const std::string& name) {
    if (name.size() < 5 || name.compare(0, 4, "IDS_") != 0)
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

std::optional<unsigned> ParseId(const std::string& field) {
    if (field.empty() || field.size() > 5)
        return std::nullopt;
    if (!std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const unsigned long value = std::stoul(field);
    if (value == 0 || value > kMaxId)
        return std::nullopt;
    return static_cast<unsigned>(value);
}

std::optional<Entry> ParseLine(const std::string& line, int number,
                               std::vector<TableError>& errors) {
    const auto fail = [&](const std::string& message) {
        errors.push_back({number, message});
        return std::nullopt;
    };
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos)
        return fail("expected id<TAB>name<TAB>text");
    if (line.back() == ' ')
        return fail("line ends in a blank (write a final blank as \\x20)");

    Entry entry;
    entry.line = number;
    const auto id = ParseId(line.substr(0, tab1));
    if (!id)
        return fail("id must be a number from 1 to 65535");
    entry.id = *id;
    entry.name = line.substr(tab1 + 1, tab2 - tab1 - 1);
    if (!IsValidName(entry.name))
        return fail("name must look like IDS_UPPER_CASE");

    std::string why;
    auto text = DecodeText(line.substr(tab2 + 1), why);
    if (!text)
        return fail(why);
    if (text->empty())
        return fail("empty text");
    if (text->size() > kMaxText)
        return fail("text longer than 4096 bytes");
    entry.text = std::move(*text);
    return entry;
}

void CheckUnique(const std::vector<Entry>& entries, std::vector<TableError>& errors) {
    std::set<unsigned> ids;
    std::set<std::string> names;
    for (const Entry& entry : entries) {
        if (!ids.insert(entry.id).second) {
            errors.push_back({entry.line, "duplicate id " + std::to_string(entry.id)});
        }
        if (!names.insert(entry.name).second) {
            errors.push_back({entry.line, "duplicate name " + entry.name});
        }
    }
}

// A C string literal of the bytes: printable ASCII as is, everything else as octal escapes
// (three digits, so a following digit cannot join the escape).
std::string CLiteral(const std::string& bytes) {
    std::string out = "\"";
    for (const unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char buffer[5];
            std::snprintf(buffer, sizeof buffer, "\\%03o", c);
            out += buffer;
        }
    }
    return out + "\"";
}

std::string HeaderText(const std::vector<Entry>& entries) {
    std::ostringstream out;
    out << "#pragma once\n"
           "// Generated from resources/strings.tsv by tlv_stringgen: edit the table, not this "
           "file.\n\n"
           "enum StringId : unsigned {\n";
    for (const Entry& entry : entries)
        out << "    " << entry.name << " = " << entry.id << ",\n";
    out << "};\n";
    return out.str();
}

std::string SourceText(const std::vector<Entry>& entries) {
    std::ostringstream out;
    out << "// Generated from resources/strings.tsv by tlv_stringgen: edit the table, not this "
           "file.\n\n"
           "#include \"resources/stringtable.h\"\n\n"
           "namespace {\n\n"
           "constexpr StringEntry kEntries[] = {\n";
    for (const Entry& entry : entries) {
        out << "    {" << entry.id << ", " << CLiteral(entry.text) << "},\n";
    }
    out << "};\n\n"
           "}  // namespace\n\n"
           "std::span<const StringEntry> StringTable::Entries() { return kEntries; }\n";
    return out.str();
}

// Writes only when the content changed, so an unchanged table does not rebuild its users.
bool WriteIfChanged(const std::string& path, const std::string& content) {
    {
        std::ifstream existing(path, std::ios::binary);
        std::ostringstream old;
        old << existing.rdbuf();
        if (existing && old.str() == content)
            return true;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    return static_cast<bool>(file.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: tlv_stringgen TABLE.tsv OUT_HEADER.h OUT_SOURCE.cpp\n";
        return 2;
    }
    std::ifstream table(argv[1], std::ios::binary);
    if (!table) {
        std::cerr << argv[1] << ": cannot be opened\n";
        return 1;
    }
    std::vector<Entry> entries;
    std::vector<TableError> errors;
    std::string line;
    for (int number = 1; std::getline(table, line); ++number) {
        if (line.empty() || line[0] == '#')
            continue;
        if (auto entry = ParseLine(line, number, errors))
            entries.push_back(std::move(*entry));
    }
    CheckUnique(entries, errors);
    for (const TableError& error : errors) {
        std::cerr << argv[1] << ":" << error.line << ": " << error.message << "\n";
    }
    if (!errors.empty())
        return 1;

    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.id < b.id; });
    if (!WriteIfChanged(argv[2], HeaderText(entries)) ||
        !WriteIfChanged(argv[3], SourceText(entries))) {
        std::cerr << "tlv_stringgen: cannot write the generated files\n";
        return 1;
    }
    return 0;
}
