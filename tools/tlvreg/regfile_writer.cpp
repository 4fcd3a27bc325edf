#include "tools/tlvreg/regfile_writer.h"

#include <cstdio>

#include "tools/tlvreg/keypath.h"
#include "tools/tlvreg/regread.h"
#include "tools/tlvreg/regtext.h"

namespace {

bool HasLineBreak(const std::string& name) {
    return name.find_first_of("\r\n") != std::string::npos;
}

std::string FormatData(const RegValue& value) {
    std::string text;
    if (value.type == REG_SZ && IsPlainText(value.data, text)) {
        return QuoteRegText(text);
    }
    DWORD number = 0;
    if (value.type == REG_DWORD && BytesToDword(value.data, number)) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", number);
        return std::string("dword:") + digits;
    }
    if (value.type == REG_BINARY) {
        return "hex:" + HexByteList(value.data);
    }
    char type[16];
    std::snprintf(type, sizeof type, "%x", value.type);
    return std::string("hex(") + type + "):" + HexByteList(value.data);
}

class RegFileWriter final {
public:
    RegFileWriter(std::ostream& out, std::string& message) : m_out(out), m_message(message) {}

    LONG WriteKey(HKEY parent, const std::string& name, const std::string& path) {
        ScopedKey key;
        if (const LONG rc = RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, key.Out());
            rc != ERROR_SUCCESS) {
            m_message = "cannot open " + FullKeyName(path);
            return rc;
        }
        return WriteOpenKey(key.Get(), path);
    }

private:
    LONG WriteOpenKey(HKEY key, const std::string& path) {
        KeyContents contents;
        if (const LONG rc = ReadKeyContents(key, contents); rc != ERROR_SUCCESS) {
            m_message = "cannot read " + FullKeyName(path);
            return rc;
        }
        if (HasLineBreak(path)) {
            m_message = "a key name holds a line break: " + FullKeyName(path);
            return ERROR_INVALID_PARAMETER;
        }
        m_out << '[' << FullKeyName(path) << "]\n";
        for (const RegValue& value : contents.values) {
            if (HasLineBreak(value.name)) {
                m_message = "a value name in " + FullKeyName(path) + " holds a line break";
                return ERROR_INVALID_PARAMETER;
            }
            m_out << (value.name.empty() ? "@" : QuoteRegText(value.name)) << '='
                  << FormatData(value) << '\n';
        }
        m_out << '\n';
        for (const std::string& subKey : contents.subKeys) {
            const std::string subPath = path.empty() ? subKey : path + '\\' + subKey;
            if (const LONG rc = WriteKey(key, subKey, subPath); rc != ERROR_SUCCESS) {
                return rc;
            }
        }
        return ERROR_SUCCESS;
    }

    std::ostream& m_out;
    std::string& m_message;
};

}  // namespace

std::string QuoteRegText(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

LONG WriteRegFile(const std::string& path, std::ostream& out, std::string& message) {
    out << "REGEDIT4\n\n";
    RegFileWriter writer(out, message);
    return writer.WriteKey(HKEY_LOCAL_MACHINE, path, path);
}
