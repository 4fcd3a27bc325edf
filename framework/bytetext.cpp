#include "framework/bytetext.h"

namespace {

// The length of the well-formed UTF-8 character at the start of the bytes, or 0: no overlong
// forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8CharLength(std::string_view bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

bool IsControl(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

int HexDigit(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

}  // namespace

bool NeedsEscapes(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8CharLength(bytes.substr(at));
        if (length == 0 || IsControl(static_cast<unsigned char>(bytes[at])))
            return true;
        at += length;
    }
    return false;
}

QString ShownText(std::string_view bytes) {
    if (!NeedsEscapes(bytes))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString shown;
    for (std::size_t at = 0; at < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = Utf8CharLength(bytes.substr(at));
        if (length == 0 || IsControl(lead)) {
            shown +=
                QStringLiteral("\\x") + QString::number(lead, 16).rightJustified(2, u'0').toUpper();
            at += 1;
        } else if (lead == '\\') {
            shown += QStringLiteral("\\\\");
            at += 1;
        } else {
            shown += QString::fromUtf8(bytes.data() + at, static_cast<qsizetype>(length));
            at += length;
        }
    }
    return shown;
}

std::string BytesOfShownText(const QString& text, bool escaped) {
    if (!escaped)
        return text.toUtf8().toStdString();
    std::string bytes;
    for (qsizetype at = 0; at < text.size();) {
        if (text[at] == u'\\' && at + 1 < text.size() && text[at + 1] == u'\\') {
            bytes += '\\';
            at += 2;
            continue;
        }
        if (text[at] == u'\\' && at + 3 < text.size() && text[at + 1] == u'x') {
            const int high = HexDigit(text[at + 2]);
            const int low = HexDigit(text[at + 3]);
            if (high >= 0 && low >= 0) {
                bytes += static_cast<char>(high * 16 + low);
                at += 4;
                continue;
            }
        }
        // One character, a surrogate pair taken whole.
        const qsizetype length = text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
        bytes += text.mid(at, length).toUtf8().toStdString();
        at += length;
    }
    return bytes;
}

ByteText::ByteText(std::string bytes)
    : m_bytes(std::move(bytes)), m_shown(ShownText(m_bytes)), m_bEscaped(NeedsEscapes(m_bytes)) {}

std::string ByteText::BytesFor(const QString& text) const {
    if (text == m_shown)
        return m_bytes;
    return BytesOfShownText(text, m_bEscaped);
}

std::string BytesOfByteString(const QString& byteString) {
    return byteString.toLatin1().toStdString();
}

QString ByteStringOfBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
