#include "tools/tlvreg/regfile_reader.h"

#include <charconv>
#include <cstring>

#include "platform/registry/regname.h"
#include "tools/tlvreg/regtext.h"

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool ConsumePrefix(std::string_view& text, std::string_view prefix) {
    if (text.size() < prefix.size() || FoldRegName(text.substr(0, prefix.size())) != prefix) {
        return false;
    }
    text.remove_prefix(prefix.size());
    return true;
}

bool ParseHexNumber(std::string_view text, DWORD& value) {
    if (text.empty() || text.size() > 8) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

class RegFileParser final {
public:
    RegFileParser(std::string_view text, std::vector<RegFileKey>& keys, RegFileError& error)
        : m_lines(SplitLines(text)), m_keys(keys), m_error(error) {}

    bool Parse() {
        m_keys.clear();
        std::string_view header = m_lines.empty() ? std::string_view{} : m_lines[0];
        if (header.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
            header.remove_prefix(kByteOrderMark.size());
        }
        if (Trim(header) != kHeader) {
            return Fail(1, "the first line must be REGEDIT4");
        }
        for (m_nIndex = 1; m_nIndex < m_lines.size(); ++m_nIndex) {
            if (!ParseLine(Trim(m_lines[m_nIndex]))) {
                return false;
            }
        }
        return true;
    }

private:
    int LineNumber() const { return static_cast<int>(m_nIndex) + 1; }

    bool Fail(int line, std::string what) {
        m_error = {line, std::move(what)};
        return false;
    }

    bool Fail(std::string what) { return Fail(LineNumber(), std::move(what)); }

    bool ParseLine(std::string_view line) {
        if (line.empty() || line.front() == ';') {
            return true;
        }
        if (line.front() == '[') {
            return ParseKeyLine(line);
        }
        if (line.front() == '"' || line.front() == '@') {
            return ParseValueLine(line);
        }
        return Fail("expected a [key] or a \"name\"=value line");
    }

    bool ParseKeyLine(std::string_view line) {
        if (line.back() != ']') {
            return Fail("a key line must end with ']'");
        }
        std::string_view name = line.substr(1, line.size() - 2);
        if (!name.empty() && name.front() == '-') {
            return Fail("deleting keys is not supported");
        }
        if (!ConsumePrefix(name, "HKEY_LOCAL_MACHINE") || (!name.empty() && name[0] != '\\')) {
            return Fail("the key is not below HKEY_LOCAL_MACHINE");
        }
        // The registry calls take names as C strings: a NUL would cut the path short.
        if (name.find('\0') != std::string_view::npos) {
            return Fail("a key name may not contain a NUL byte");
        }
        std::string path(name.empty() ? name : name.substr(1));
        std::vector<std::string> names;
        if (SplitRegPath(path, names) != ERROR_SUCCESS) {
            return Fail("invalid key path: empty or over-long key name");
        }
        m_keys.push_back({std::move(path), LineNumber(), {}});
        return true;
    }

    bool ParseValueLine(std::string_view line) {
        if (m_keys.empty()) {
            return Fail("a value before the first [key] line");
        }
        RegFileValue value;
        value.line = LineNumber();
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else if (!ReadQuoted(line, value.name)) {
            return false;
        }
        if (value.name.find('\0') != std::string::npos) {
            return Fail("a value name may not contain a NUL byte");
        }
        if (CheckValueName(value.name) != ERROR_SUCCESS) {
            return Fail("the value name is too long");
        }
        line = Trim(line);
        if (line.empty() || line.front() != '=') {
            return Fail("expected '=' after the value name");
        }
        line = Trim(line.substr(1));
        if (!ParseData(line, value)) {
            return false;
        }
        if (value.data.size() > REG_MAX_VALUE_DATA) {
            return Fail("the value data is longer than " + std::to_string(REG_MAX_VALUE_DATA) +
                        " bytes");
        }
        m_keys.back().values.push_back(std::move(value));
        return true;
    }

    // Reads a quoted text from the front of the line, leaving the rest behind it.
    bool ReadQuoted(std::string_view& line, std::string& text) {
        for (std::size_t i = 1; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"') {
                line.remove_prefix(i + 1);
                return true;
            }
            if (c == '\\') {
                if (i + 1 >= line.size() || (line[i + 1] != '"' && line[i + 1] != '\\')) {
                    return Fail("only \\\" and \\\\ may follow a backslash in quotes");
                }
                ++i;
            }
            text += line[i];
        }
        return Fail("a quoted text is not closed");
    }

    bool ParseData(std::string_view data, RegFileValue& value) {
        if (!data.empty() && data.front() == '"') {
            return ParseText(data, value);
        }
        if (data == "-") {
            return Fail("deleting values is not supported");
        }
        if (ConsumePrefix(data, "DWORD:")) {
            DWORD number = 0;
            if (!ParseHexNumber(data, number)) {
                return Fail("dword: needs 1 to 8 hex digits");
            }
            value.type = REG_DWORD;
            value.data = DwordBytes(number);
            return true;
        }
        if (ConsumePrefix(data, "HEX:")) {
            value.type = REG_BINARY;
            return ParseHexList(data, value.data);
        }
        if (ConsumePrefix(data, "HEX(")) {
            const std::size_t close = data.find("):");
            if (close == std::string_view::npos ||
                !ParseHexNumber(data.substr(0, close), value.type)) {
                return Fail("hex(N): needs a type number N in hex");
            }
            return ParseHexList(data.substr(close + 2), value.data);
        }
        return Fail("expected \"text\", dword:, hex: or hex(N): after '='");
    }

    bool ParseText(std::string_view data, RegFileValue& value) {
        std::string text;
        if (!ReadQuoted(data, text)) {
            return false;
        }
        if (!Trim(data).empty()) {
            return Fail("unexpected text after the closing quote");
        }
        value.type = REG_SZ;
        value.data = std::move(text);
        value.data += '\0';
        return true;
    }

    // Reads "aa,bb,..." with continuation lines; errors name the value's first line.
    bool ParseHexList(std::string_view list, std::string& bytes) {
        const int firstLine = LineNumber();
        std::string joined(Trim(list));
        while (!joined.empty() && joined.back() == '\\') {
            joined.pop_back();
            if (m_nIndex + 1 >= m_lines.size()) {
                return Fail(firstLine, "the hex list continues past the end of the file");
            }
            joined += Trim(m_lines[++m_nIndex]);
            if (joined.size() > 3 * static_cast<std::size_t>(REG_MAX_VALUE_DATA)) {
                return Fail(firstLine, "the value data is too long");
            }
        }
        std::string_view rest = joined;
        while (!rest.empty()) {
            const std::size_t comma = rest.find(',');
            DWORD byte = 0;
            const std::string_view item = Trim(rest.substr(0, comma));
            if (item.size() > 2 || !ParseHexNumber(item, byte)) {
                return Fail(firstLine, "hex data must be bytes of two hex digits, comma-separated");
            }
            bytes += static_cast<char>(byte);
            rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
            if (comma != std::string_view::npos && rest.empty()) {
                return Fail(firstLine, "the hex list ends with a comma");
            }
        }
        return true;
    }

    std::vector<std::string_view> m_lines;
    std::size_t m_nIndex = 0;
    std::vector<RegFileKey>& m_keys;
    RegFileError& m_error;
};

}  // namespace

bool ParseRegFile(std::string_view text, std::vector<RegFileKey>& keys, RegFileError& error) {
    return RegFileParser(text, keys, error).Parse();
}
