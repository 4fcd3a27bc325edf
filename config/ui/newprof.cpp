#include "config/ui/newprof.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>

#include "config/assocrules.h"
#include "config/assocset.h"
#include "config/ui/combofill.h"
#include "framework/widgets/bytefield.h"
#include "framework/widgets/dialogparts.h"

CNewProfileBox::CNewProfileBox(QWidget* parent)
    : QDialog(parent), m_wndClass(MakeEditableList("profileClass")) {
    setWindowTitle(QStringLiteral("New Profile"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Enter class of profile to create:"), m_wndClass);

    StackFormAndButtons(*this, form, MakeOkCancel(*this, OkDefault::No));
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
