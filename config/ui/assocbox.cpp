#include "config/ui/assocbox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

#include "config/assocrules.h"
#include "config/ui/cfgerror.h"
#include "config/ui/combofill.h"
#include "config/ui/editorbrowse.h"
#include "framework/modalseam.h"
#include "framework/widgets/bytefield.h"
#include "framework/widgets/dialogparts.h"
#include "resources/stringids.h"

CAssocBox::CAssocBox(QWidget* parent)
    : QDialog(parent),
      m_wndClass(MakeEditableList("profileClass")),
      m_wndEditor(MakeEditableList("profileEditor")) {
    setWindowTitle(QStringLiteral("Associate"));
    // Editor paths are long: the list scrolls sideways rather than cutting them.
    m_wndEditor->view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_wndEditor->view()->setTextElideMode(Qt::ElideNone);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Associate profiles with class:"), m_wndClass);
    form->addRow(QStringLiteral("With the profile editor:"), m_wndEditor);

    QDialogButtonBox* buttons = MakeOkCancel(*this, OkDefault::Yes);
    QPushButton* browse =
        buttons->addButton(QStringLiteral("&Browse..."), QDialogButtonBox::ActionRole);
    browse->setObjectName(QStringLiteral("browse"));
    QPushButton* remove =
        buttons->addButton(QStringLiteral("&Remove"), QDialogButtonBox::ActionRole);
    remove->setObjectName(QStringLiteral("remove"));
    connect(browse, &QPushButton::clicked, this, &CAssocBox::OnBrowse);
    connect(remove, &QPushButton::clicked, this, &CAssocBox::OnRemove);
    StackFormAndButtons(*this, form, buttons);

    FillSorted(*m_wndClass, ClassChoices(m_set));
    FillSorted(*m_wndEditor, EditorChoices(m_set));
    DoDataExchange(false);
    connect(m_wndClass, &QComboBox::activated, this, &CAssocBox::OnSelchangeClass);
}

int CAssocBox::DoModal() {
    if (!m_set.IsOK()) {
        ShowRegistryError(IDS_REGISTRY_ACCESS_FAILED, {kProfileClassesKey}, RegistryUse::Read,
                          parentWidget());
        return IDOK;
    }
    return Modal().RunDialog(*this);
}

void CAssocBox::OnSelchangeClass(int index) {
    DoDataExchange(true);
    m_strClass = ItemBytes(*m_wndClass, index);
    m_set.Get(m_strClass, m_strEditor);
    DoDataExchange(false);
}

void CAssocBox::OnBrowse() {
    DoDataExchange(true);
    if (BrowseForEditor(this, m_strEditor)) {
        DoDataExchange(false);
    }
}

void CAssocBox::OnRemove() {
    // Only a class chosen or confirmed before is removed: a name merely typed into the field
    // is not what the operator was told would go.
    if (m_strClass.empty()) {
        ShowConfigError(IDS_PROFILE_CLASS_NOT_SELECTED, this);
        done(Accepted);
        return;
    }
    DoDataExchange(true);
    if (!m_strClass.empty() && !m_set.Remove(m_strClass)) {
        ShowRegistryError(IDS_REGISTRY_UPDATE_FAILED, {kProfileClassesKey}, RegistryUse::Write,
                          this);
    }
    done(Accepted);
}

void CAssocBox::accept() {
    DoDataExchange(true);
    if (const unsigned message = CheckAssociationFields(m_strClass, m_strEditor); message != 0) {
        ShowConfigError(message, this);
        return;
    }
    // Associate writes all or nothing, so a failure leaves no half-made class to take back.
    if (!m_set.Associate(m_strClass, m_strEditor)) {
        ShowRegistryError(IDS_REGISTRY_UPDATE_FAILED, {kProfileClassesKey}, RegistryUse::Write,
                          this);
    }
    QDialog::accept();
}

void CAssocBox::DoDataExchange(bool save) {
    if (save) {
        m_strClass = FieldBytes(*m_wndClass);
        m_strEditor = FieldBytes(*m_wndEditor);
        return;
    }
    ShowBytes(*m_wndClass, m_strClass);
    ShowBytes(*m_wndEditor, m_strEditor);
}

void RunAssociate(QWidget* parent) {
    CAssocBox box(parent);
    const int result = box.DoModal();
    if (result != IDOK && result != IDCANCEL) {
        ShowConfigError(static_cast<unsigned>(result), parent);
    }
}
