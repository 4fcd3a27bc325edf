#include "config/ui/newprof.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "config/assocrules.h"
#include "config/assocset.h"
#include "config/ui/combofill.h"
#include "framework/widgets/bytefield.h"

CNewProfileBox::CNewProfileBox(QWidget* parent)
    : QDialog(parent), m_wndClass(MakeEditableList("profileClass")) {
    setWindowTitle(QStringLiteral("New Profile"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Enter class of profile to create:"), m_wndClass);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewProfileBox::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewProfileBox::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CNewProfileBox::SetClass(const std::string& profileClass) {
    m_strClass = profileClass;
    DoDataExchange(false);
}

void CNewProfileBox::accept() {
    DoDataExchange(true);
    QDialog::accept();
}

void CNewProfileBox::showEvent(QShowEvent* event) {
    {
        const EditorAssocSet set;
        FillSorted(*m_wndClass, ClassChoices(set));
    }
    DoDataExchange(false);
    QDialog::showEvent(event);
}

void CNewProfileBox::DoDataExchange(bool save) {
    if (save) {
        m_strClass = FieldBytes(*m_wndClass);
    } else {
        ShowBytes(*m_wndClass, m_strClass);
    }
}
