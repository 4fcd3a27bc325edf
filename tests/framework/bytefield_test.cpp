// Fields that remember the bytes they show: unchanged text gives the bytes back, a drop-down
// entry chosen gives that entry's bytes.

#include "framework/widgets/bytefield.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

namespace {

TEST(ByteFieldTest, ALineEditGivesBackTheBytesItWasLastGiven) {
    QLineEdit field;
    EXPECT_EQ(FieldBytes(field), "");
    field.setText(QString::fromUtf8("caf\u00E9"));
    EXPECT_EQ(FieldBytes(field), "caf\xC3\xA9");  // never given bytes: UTF-8

    ShowBytes(field, "caf\xE9");
    EXPECT_EQ(field.text(), "caf\\xE9");
    EXPECT_EQ(FieldBytes(field), "caf\xE9");
    field.setText("caf\\xE9!");
    EXPECT_EQ(FieldBytes(field), "caf\xE9!");
    ShowBytes(field, "plain");
    field.setText("plain\\xE9");
    EXPECT_EQ(FieldBytes(field), "plain\\xE9");

    // Longer than the field's usual limit, and still given back whole.
    const std::string longText(40000, 'x');
    ShowBytes(field, longText);
    EXPECT_EQ(FieldBytes(field), longText);
}

TEST(ByteFieldTest, AComboBoxGivesTheEditTextsOrTheChosenEntrysBytes) {
    QComboBox box;
    box.setEditable(true);
    AddBytesItem(box, "Appl\xE9");
    AddBytesItem(box, "Routing");
    EXPECT_EQ(box.itemText(0), "Appl\\xE9");
    EXPECT_EQ(ItemBytes(box, 0), "Appl\xE9");

    ShowBytes(box, "Typed\xFF");
    EXPECT_EQ(box.currentText(), "Typed\\xFF");
    EXPECT_EQ(FieldBytes(box), "Typed\xFF");
    box.setCurrentIndex(0);
    EXPECT_EQ(FieldBytes(box), "Appl\xE9");
    box.setEditText("Other");
    EXPECT_EQ(FieldBytes(box), "Other");
}

}  // namespace
