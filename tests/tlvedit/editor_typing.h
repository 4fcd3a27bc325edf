#pragma once
// Helpers for driving the editor's widgets as the operator does, and readable QString output
// in test failures.

#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>
#include <ostream>

// Replaces the whole text as typing or pasting does (setPlainText would reset the document's
// modification state, which no operator can do).
inline void TypeContents(QPlainTextEdit& field, const QString& text) {
    QTextCursor cursor = field.textCursor();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
}

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
