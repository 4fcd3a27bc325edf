#include "views/cmdbox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <span>

#include "framework/modalseam.h"
#include "resources/resourceids.h"

namespace {

struct ButtonResource {
    const char* text;
    int result;  // IDOK or IDCANCEL
};

struct BoxResource {
    unsigned id;
    const char* title;
    const char* text;
    std::span<const ButtonResource> buttons;  // the first one is the default
};

constexpr ButtonResource kOkCancel[] = {{"OK", IDOK}, {"Cancel", IDCANCEL}};
constexpr ButtonResource kYesNo[] = {{"&Yes", IDOK}, {"No", IDCANCEL}};
constexpr ButtonResource kOkOnly[] = {{"OK", IDOK}};
constexpr ButtonResource kStop[] = {{"&Normal Stop", IDOK}, {"Cancel", IDCANCEL}};

constexpr BoxResource kBoxes[] = {
    {IDD_REMOVE_PROFILES, "Remove Profile(s)",
     "Are you sure you want to remove the selected profiles?", kOkCancel},
    {IDD_REMOVE_SERVICES, "Remove Service(s)",
     "Are you sure you want to remove the selected services?", kOkCancel},
    {IDD_START_SERVICE, "Start Service",
     "Are you sure you want to start the selected Services? Note that starting Services this way "
     "is not recommended and may cause unpredictable behaviour.",
     kYesNo},
    {IDD_STOP_SERVICE, "Stop Service",
     "Are you sure you want to stop the selected Services? Note that stopping Services this way "
     "is not recommended and may cause unpredictable behaviour.",
     kStop},
    {IDD_RESTART_WARNING, "Warning",
     "Changes will not take effect until the Service has been restarted.", kOkOnly},
};

const BoxResource& ResourceOf(unsigned id) {
    static constexpr BoxResource kEmpty{0, "", "", kOkOnly};
    for (const BoxResource& box : kBoxes) {
        if (box.id == id)
            return box;
    }
    return kEmpty;
}

}  // namespace

CCommandBox::CCommandBox(unsigned resourceId, QWidget* parent)
    : QDialog(parent), m_buttonRow(new QHBoxLayout) {
    const BoxResource& box = ResourceOf(resourceId);
    setObjectName(QString::number(resourceId));
    setWindowTitle(QString::fromLatin1(box.title));
    auto* text = new QLabel(QString::fromLatin1(box.text));
    text->setObjectName(QStringLiteral("text"));
    text->setWordWrap(true);

    m_buttonRow->addStretch();
    for (const ButtonResource& button : box.buttons) {
        QPushButton* pushButton =
            InsertButton(m_buttonRow->count(), QString::fromLatin1(button.text));
        if (button.result == IDOK) {
            connect(pushButton, &QPushButton::clicked, this, &QDialog::accept);
        } else {
            connect(pushButton, &QPushButton::clicked, this, &QDialog::reject);
        }
    }
    if (auto* first = qobject_cast<QPushButton*>(m_buttonRow->itemAt(1)->widget()))
        first->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(m_buttonRow);
}

int CCommandBox::DoModal() {
    return Modal().RunDialog(*this);
}

QPushButton* CCommandBox::InsertButton(int position, const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setAutoDefault(false);
    m_buttonRow->insertWidget(position, button);
    return button;
}

bool ConfirmWith(unsigned resourceId, QWidget* parent) {
    CCommandBox box(resourceId, parent);
    return box.DoModal() == IDOK;
}
