#include "platform/text/shownbytes.h"

namespace tlv::platform {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The character at the start of the bytes when it is shown as it is; length 0 otherwise.
Utf8Char PlainChar(std::string_view bytes) {
    const Utf8Char c = FirstUtf8Char(bytes);
    return c.length == 0 || IsControlCharacter(c.code) ? Utf8Char{} : c;
}

// Whether the bytes are characters that readChar finds (a length above 0) up to their end.
template <typename ReadChar>
bool AllChars(std::string_view bytes, ReadChar readChar) {
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = readChar(bytes.substr(at)).length;
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

Utf8Char FirstUtf8Char(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {1, lead};
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else {
        return {};
    }
    if (bytes.size() < length || byte(1) < low || byte(1) > high)
        return {};
    for (std::size_t i = 1; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return {};
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    return {length, code};
}

bool IsControlCharacter(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

bool IsUtf8(std::string_view bytes) {
    return AllChars(bytes, FirstUtf8Char);
}

bool NeedsEscapes(std::string_view bytes) {
    return !AllChars(bytes, PlainChar);
}

std::string ShownBytes(std::string_view bytes) {
    if (!NeedsEscapes(bytes))
        return std::string(bytes);
    std::string shown;
    shown.reserve(bytes.size() * 2);
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = PlainChar(bytes.substr(at)).length;
        if (length == 0) {
            const auto byte = static_cast<unsigned char>(bytes[at]);
            shown += "\\x";
            shown += kHexDigits[byte >> 4];
            shown += kHexDigits[byte & 0x0F];
            at += 1;
        } else if (bytes[at] == '\\') {
            shown += "\\\\";
            at += 1;
        } else {
            shown.append(bytes.substr(at, length));
            at += length;
        }
    }
    return shown;
}

std::string BytesOfShown(std::string_view shown, bool escaped) {
    if (!escaped)
        return std::string(shown);
    std::string bytes;
    bytes.reserve(shown.size());
    for (std::size_t at = 0; at < shown.size();) {
        if (shown.substr(at).starts_with("\\\\")) {
            bytes += '\\';
            at += 2;
            continue;
        }
        if (shown.substr(at).starts_with("\\x") && at + 3 < shown.size()) {
            const int high = HexDigitValue(shown[at + 2]);
            const int low = HexDigitValue(shown[at + 3]);
            if (high >= 0 && low >= 0) {
                bytes += static_cast<char>(high * 16 + low);
                at += 4;
                continue;
            }
        }
        bytes += shown[at];
        at += 1;
    }
    return bytes;
}

}  // namespace tlv::platform
