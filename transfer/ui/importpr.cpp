#include "transfer/ui/importpr.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "framework/widgets/bytefield.h"
#include "framework/widgets/dialogparts.h"
#include "framework/widgets/errorbox.h"
#include "resources/stringtable.h"
#include "transfer/profiledir.h"
#include "transfer/transferrules.h"

CImportProf::CImportProf(QWidget* parent) : CProfileFileBox(parent) {
    m_strFilename = ApplicationProfileDirectory();
    setWindowTitle(QStringLiteral("Import Profile"));
    m_wndFilename->setReadOnly(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Filename:"), m_wndFilename);
    form->addRow(QStringLiteral("New Profile Name:"), m_wndName);
    form->addRow(QStringLiteral("New Profile Class:"), m_wndClass);

    StackFormAndButtons(*this, form, MakeOkCancel(*this, OkDefault::No));
    setMinimumWidth(420);
    DoDataExchange(false);
    m_wndName->setFocus();  // the file name is only shown
}

void CImportProf::accept() {
    DoDataExchange(true);
    if (const unsigned message = CheckImportFields(m_strName, m_strClass); message != 0) {
        CErrorBox(message, this).DoModal();
        (message == IDS_IMPORT_NAME_INVALID ? m_wndName : m_wndClass)->setFocus();
        return;
    }
    QDialog::accept();
}

void CImportProf::DoDataExchange(bool save) {
    if (save) {
        m_strName = ByteStringOf(*m_wndName);
        m_strClass = ByteStringOf(*m_wndClass);
        return;
    }
    m_wndFilename->setText(m_strFilename);
    ShowByteString(*m_wndName, m_strName);
    ShowByteString(*m_wndClass, m_strClass);
}
