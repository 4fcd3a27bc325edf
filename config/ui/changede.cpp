#include "config/ui/changede.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "config/assocrules.h"
#include "config/defeditor.h"
#include "config/ui/cfgerror.h"
#include "config/ui/editorbrowse.h"
#include "framework/modalseam.h"
#include "framework/widgets/bytefield.h"
#include "framework/widgets/dialogparts.h"

CChangeDefBox::CChangeDefBox(QWidget* parent) : QDialog(parent), m_wndEditor(new QLineEdit) {
    setWindowTitle(QStringLiteral("Change Default Profile Editor"));
    m_wndEditor->setObjectName(QStringLiteral("defaultEditor"));
    m_wndEditor->setMinimumWidth(320);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Default Editor:"), m_wndEditor);

    QDialogButtonBox* buttons = MakeOkCancel(*this, OkDefault::No);
    QPushButton* browse =
        buttons->addButton(QStringLiteral("&Browse..."), QDialogButtonBox::ActionRole);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, &CChangeDefBox::OnBrowse);
    StackFormAndButtons(*this, form, buttons);
}

void CChangeDefBox::SetEditor(const std::string& editor) {
    m_strEditor = editor;
    DoDataExchange(false);
}

void CChangeDefBox::OnBrowse() {
    DoDataExchange(true);
    if (BrowseForEditor(this, m_strEditor)) {
        DoDataExchange(false);
    }
}

void CChangeDefBox::accept() {
    DoDataExchange(true);
    if (const unsigned message = CheckDefaultEditorField(m_strEditor); message != 0) {
        ShowConfigError(message, this);
        return;
    }
    QDialog::accept();
}

void CChangeDefBox::DoDataExchange(bool save) {
    if (save) {
        m_strEditor = FieldBytes(*m_wndEditor);
    } else {
        ShowBytes(*m_wndEditor, m_strEditor);
    }
}

void RunChangeDefaultEditor(QWidget* parent) {
    CChangeDefBox box(parent);
    DefaultEditorKey key;
    std::string editor;
    if (const unsigned message = key.Read(editor); message != 0) {
        ShowRegistryError(message, DefaultEditorKey::Place(), RegistryUse::Read, parent);
        return;
    }
    box.SetEditor(editor);
    if (Modal().RunDialog(box) != IDOK) {
        return;
    }
    if (const unsigned message = key.Write(box.Editor()); message != 0) {
        ShowRegistryError(message, DefaultEditorKey::Place(), RegistryUse::Write, parent);
    }
}
