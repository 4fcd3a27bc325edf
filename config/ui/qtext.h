#pragma once
// Registry texts are 8-bit strings; the widgets show and edit them as UTF-8.

#include <QString>
#include <string>

inline QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStdString(const QString& text) {
    return text.toUtf8().toStdString();
}
