#include "framework/widgets/bytefield.h"

#include <QComboBox>
#include <QLineEdit>

#include "framework/bytetext.h"

namespace {

constexpr const char* kShownBytes = "tlvShownBytes";

void Remember(QObject& field, const std::string& bytes) {
    field.setProperty(kShownBytes, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// The bytes for the text, measured against the bytes the field was last given.
std::string BytesFor(const QObject& field, const QString& text) {
    const QByteArray shown = field.property(kShownBytes).toByteArray();
    return ByteText(shown.toStdString()).BytesFor(text);
}

}  // namespace

void ShowBytes(QLineEdit& field, const std::string& bytes) {
    Remember(field, bytes);
    const QString shown = ShownText(bytes);
    // A field cuts a longer text to its limit, which would change what the operator left alone.
    if (shown.size() > field.maxLength())
        field.setMaxLength(static_cast<int>(shown.size()));
    field.setText(shown);
}

std::string FieldBytes(const QLineEdit& field) {
    return BytesFor(field, field.text());
}

void AddBytesItem(QComboBox& box, const std::string& bytes) {
    box.addItem(ShownText(bytes), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string ItemBytes(const QComboBox& box, int index) {
    const QVariant bytes = box.itemData(index);
    if (bytes.isValid())
        return bytes.toByteArray().toStdString();
    return BytesOfShownText(box.itemText(index), false);
}

void ShowBytes(QComboBox& box, const std::string& bytes) {
    Remember(box, bytes);
    box.setEditText(ShownText(bytes));
}

std::string FieldBytes(const QComboBox& box) {
    const QString text = box.currentText();
    if (text == ShownText(box.property(kShownBytes).toByteArray().toStdString()))
        return BytesFor(box, text);
    // A text the list shows stands for that entry.
    const int entry = box.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    return entry >= 0 ? ItemBytes(box, entry) : BytesFor(box, text);
}

void ShowByteString(QLineEdit& field, const QString& byteString) {
    ShowBytes(field, BytesOfByteString(byteString));
}

QString ByteStringOf(const QLineEdit& field) {
    return ByteStringOfBytes(FieldBytes(field));
}
