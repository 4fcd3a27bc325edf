#include "tools/tlvadm/textescape.h"

#include <cstdio>

namespace {

void AppendHex(std::string& out, unsigned char byte) {
    char escape[5];
    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
    out += escape;
}

// The length of the well-formed UTF-8 sequence of a printable character at bytes[at], or 0.
std::size_t PrintableSequence(const std::string& bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned long code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u)
            return 0;
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool wellFormed = code >= smallest[length] && code <= 0x10FFFF &&
                            (code < 0xD800 || code > 0xDFFF);
    const bool control = code >= 0x80 && code <= 0x9F;
    return wellFormed && !control ? length : 0;
}

}  // namespace

std::string EscapeText(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[at]);
        if (c >= 0x20 && c < 0x7F) {
            if (c == '\\')
                out += '\\';
            out += static_cast<char>(c);
            ++at;
        } else if (c == '\n' || c == '\t' || c == '\r') {
            out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r";
            ++at;
        } else if (const std::size_t length = PrintableSequence(bytes, at); length > 0) {
            out.append(bytes, at, length);
            at += length;
        } else {
            AppendHex(out, c);
            ++at;
        }
    }
    return out;
}

QString TerminalText(const std::string& bytes) {
    return QString::fromUtf8(EscapeText(bytes));
}
