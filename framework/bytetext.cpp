#include "framework/bytetext.h"

QString ShownText(std::string_view bytes) {
    return QString::fromStdString(tlv::platform::ShownBytes(bytes));
}

std::string BytesOfShownText(const QString& text, bool escaped) {
    return tlv::platform::BytesOfShown(text.toStdString(), escaped);
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
