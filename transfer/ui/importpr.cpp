#include "transfer/ui/importpr.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "framework/widgets/bytefield.h"
#include "framework/widgets/errorbox.h"
#include "resources/stringtable.h"
#include "transfer/profiledir.h"
#include "transfer/transferrules.h"

namespace {

QLineEdit* MakeField(const char* objectName) {
    auto* field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(objectName));
    return field;
}

}  // namespace

CImportProf::CImportProf(QWidget* parent)
    : QDialog(parent),
      m_strFilename(ApplicationProfileDirectory()),
      m_wndFilename(MakeField("filename")),
      m_wndName(MakeField("name")),
      m_wndClass(MakeField("class")) {
    setWindowTitle(QStringLiteral("Import Profile"));
    m_wndFilename->setReadOnly(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Filename:"), m_wndFilename);
    form->addRow(QStringLiteral("New Profile Name:"), m_wndName);
    form->addRow(QStringLiteral("New Profile Class:"), m_wndClass);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CImportProf::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CImportProf::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    DoDataExchange(false);
    m_wndName->setFocus();  // the file name is only shown
}

void CImportProf::SetFilename(const QString& fileName) {
    m_strFilename = fileName;
    DoDataExchange(false);
}

void CImportProf::SetName(const QString& name) {
    m_strName = name;
    DoDataExchange(false);
}

void CImportProf::SetClass(const QString& profileClass) {
    m_strClass = profileClass;
    DoDataExchange(false);
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
