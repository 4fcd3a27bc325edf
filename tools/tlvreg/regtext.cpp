#include "tools/tlvreg/regtext.h"

#include <charconv>
#include <cstring>

std::string RegTypeName(DWORD type) {
    switch (type) {
        case REG_NONE:
            return "REG_NONE";
        case REG_SZ:
            return "REG_SZ";
        case REG_EXPAND_SZ:
            return "REG_EXPAND_SZ";
        case REG_BINARY:
            return "REG_BINARY";
        case REG_DWORD:
            return "REG_DWORD";
        case REG_MULTI_SZ:
            return "REG_MULTI_SZ";
        default:
            return "REG_TYPE(" + std::to_string(type) + ")";
    }
}

std::string HexByteList(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string list;
    list.reserve(bytes.size() * 3);
    for (const char byte : bytes) {
        if (!list.empty()) {
            list += ',';
        }
        const auto value = static_cast<unsigned char>(byte);
        list += kDigits[value >> 4];
        list += kDigits[value & 0xf];
    }
    return list;
}

bool ParseDword(std::string_view text, DWORD& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.front() == '-' || text.front() == '+') {
        return false;
    }
    DWORD parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed, base);
    if (error != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    value = parsed;
    return true;
}

std::string DwordBytes(DWORD value) {
    std::string bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

bool BytesToDword(std::string_view bytes, DWORD& value) {
    if (bytes.size() != sizeof value) {
        return false;
    }
    std::memcpy(&value, bytes.data(), sizeof value);
    return true;
}

bool IsPlainText(std::string_view data, std::string& text) {
    if (data.empty() || data.back() != '\0') {
        return false;
    }
    data.remove_suffix(1);
    for (const char c : data) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f) {
            return false;
        }
    }
    text = std::string(data);
    return true;
}
