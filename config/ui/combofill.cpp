#include "config/ui/combofill.h"

#include <QComboBox>
#include <algorithm>

#include "framework/widgets/bytefield.h"
#include "platform/text/nocase.h"

QComboBox* MakeEditableList(const char* objectName) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(objectName));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(30);
    return box;
}

void FillSorted(QComboBox& box, std::vector<std::string> texts) {
    std::stable_sort(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) {
        return CompareNoCase(a, b) < 0;
    });
    const QString typed = box.currentText();
    box.clear();
    for (const std::string& text : texts) {
        AddBytesItem(box, text);
    }
    box.setEditText(typed);
}
