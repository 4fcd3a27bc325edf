#pragma once
// Fields that show bytes (framework/bytetext.h) and give them back: each field remembers the
// bytes it was last given, so reading a field the operator did not change returns exactly
// those bytes, and a list entry chosen from a drop-down list returns the entry's own bytes.

#include <string>

class QComboBox;
class QLineEdit;
class QString;

void ShowBytes(QLineEdit& field, const std::string& bytes);
std::string FieldBytes(const QLineEdit& field);

// A drop-down list's entries and its edit text.
void AddBytesItem(QComboBox& box, const std::string& bytes);
std::string ItemBytes(const QComboBox& box, int index);
void ShowBytes(QComboBox& box, const std::string& bytes);
std::string FieldBytes(const QComboBox& box);

// The same for a text that holds one byte per character (the document's names): shown as its
// bytes are, and read back byte for byte while the operator has not changed it.
void ShowByteString(QLineEdit& field, const QString& byteString);
QString ByteStringOf(const QLineEdit& field);
