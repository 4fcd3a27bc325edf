#include "tools/tlvedit/contentscheck.h"

#include <QByteArray>

ContentsCheck CheckContents(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    ContentsCheck check;
    check.contents =
        s100::parseKVSet(std::string_view(bytes.constData(), bytes.size()), check.error);
    return check;
}

QString ContentsText(const s100::KVSet& contents) {
    // The printer escapes every byte outside printable ASCII.
    const std::string text = s100::printKVSet(contents);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
