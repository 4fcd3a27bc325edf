#pragma once
// Names and texts from the server and the registry are bytes, not text in any one encoding.
// They are shown by the one rule of platform/text/shownbytes.h: as they are where they are
// UTF-8 without control characters, otherwise with \xHH for the other bytes and \\ for a
// backslash. What the operator did not change goes back as the bytes it came from (see
// BytesOfShownText).

#include <QString>
#include <string>
#include <string_view>

#include "platform/text/shownbytes.h"

using tlv::platform::NeedsEscapes;

// The text that shows the bytes.
QString ShownText(std::string_view bytes);

// The bytes a shown text stands for. A text shown with escapes (escaped) has them read back, so
// ShownText's output gives its bytes again; any other text is stored as UTF-8.
std::string BytesOfShownText(const QString& text, bool escaped);

// A text that holds one byte per character (the document's names) and the bytes it holds, in
// both directions, so that every byte keeps its value.
std::string BytesOfByteString(const QString& byteString);
QString ByteStringOfBytes(std::string_view bytes);

// A field's original bytes and what it shows for them: the bytes to write back for the field's
// text now are the original ones, byte for byte, while the operator has not changed the text.
class ByteText {
public:
    ByteText() = default;
    explicit ByteText(std::string bytes);

    const std::string& Original() const { return m_bytes; }
    const QString& Shown() const { return m_shown; }
    std::string BytesFor(const QString& text) const;

private:
    std::string m_bytes;
    QString m_shown;
    bool m_bEscaped = false;
};
