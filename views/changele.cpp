#include "views/changele.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "framework/modalseam.h"
#include "resources/resourceids.h"

CChangeLevel::CChangeLevel(QWidget* parent)
    : QDialog(parent), m_emergencyButton(new QCheckBox(QStringLiteral("Emergency Shutdown"))) {
    setWindowTitle(QStringLiteral("Change Server Level"));
    setObjectName(QStringLiteral("dialog%1").arg(IDD_CHANGELEVEL));
    auto* frame = new QFrame;
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* levels = new QVBoxLayout(frame);
    auto* group = new QButtonGroup(this);
    for (int index = 0; index < kLevels; ++index) {
        m_wndLevels[index] = new QRadioButton(QStringLiteral("Level %1").arg(index + 1));
        m_wndLevels[index]->setObjectName(QStringLiteral("control%1").arg(IDC_LEVEL1 + index));
        group->addButton(m_wndLevels[index], index);
        levels->addWidget(m_wndLevels[index]);
    }
    connect(group, &QButtonGroup::buttonClicked, this, [this] { OnLevel(); });
    m_emergencyButton->setObjectName(QStringLiteral("control%1").arg(IDC_EMERGENCYSHUTDOWN));

    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical);
    // The style's and the locale's own texts would stand in for these.
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(frame, 0, 0);
    layout->addWidget(buttons, 0, 1, Qt::AlignTop);
    layout->addWidget(m_emergencyButton, 1, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CChangeLevel::showEvent(QShowEvent* event) {
    DoDataExchange(false);
    EnableEmergency();
    QDialog::showEvent(event);
}

void CChangeLevel::OnLevel() {
    DoDataExchange(true);
    EnableEmergency();
}

void CChangeLevel::accept() {
    DoDataExchange(true);
    QDialog::accept();
}

void CChangeLevel::DoDataExchange(bool save) {
    if (save) {
        m_nLevel = -1;
        for (int index = 0; index < kLevels; ++index) {
            if (m_wndLevels[index]->isChecked())
                m_nLevel = index;
        }
        m_bEmergency = m_emergencyButton->isChecked() ? 1 : 0;
        return;
    }
    // An exclusive group cannot show "none" once a button is on; it is lifted meanwhile.
    QButtonGroup* group = m_wndLevels[0]->group();
    group->setExclusive(false);
    for (int index = 0; index < kLevels; ++index)
        m_wndLevels[index]->setChecked(index == m_nLevel);
    group->setExclusive(true);
    m_emergencyButton->setChecked(m_bEmergency != 0);
}

// m_nLevel counts from 0 and the current level from 1: levels up to the current one qualify.
void CChangeLevel::EnableEmergency() {
    m_emergencyButton->setEnabled(m_nLevel < m_nCurrentLevel);
}

int RunChangeLevel(LevelDialogFields& fields, QWidget* parent) {
    CChangeLevel dialog(parent);
    dialog.m_nLevel = fields.nLevel;
    dialog.m_nCurrentLevel = fields.nCurrentLevel;
    dialog.m_bEmergency = fields.bEmergency;
    const int result = Modal().RunDialog(dialog);
    if (result == IDOK) {
        fields.nLevel = dialog.m_nLevel;
        fields.bEmergency = dialog.m_bEmergency;
    }
    return result;
}
