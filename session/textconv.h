#pragma once
// Texts cross the session boundary as 8-bit bytes; read and written as Latin-1 they keep
// every byte as it is in both directions. Such a text is shown to the operator through
// ShownServerText, as UTF-8 where it is UTF-8.

#include <QByteArray>

#include "framework/bytetext.h"

#include "session/ctstring.h"
#include "session/viewline.h"

inline CString FromServerText(const char* text) {
    return QString::fromLatin1(text);
}

inline QString ShownServerText(const CString& text) {
    return ShownText(BytesOfByteString(text));
}

inline SC_String ToServerText(const CString& text) {
    const QByteArray bytes = text.toLatin1();
    return SC_String(bytes.constData());
}
