#include "transfer/ui/exportpr.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/widgets/bytefield.h"
#include "framework/widgets/dialogparts.h"
#include "transfer/profiledir.h"
#include "transfer/transferrules.h"
#include "transfer/ui/profilefiledlg.h"

CExportProf::CExportProf(QWidget* parent) : CProfileFileBox(parent), m_okButton(nullptr) {
    setWindowTitle(QStringLiteral("Export Profile"));
    m_wndName->setReadOnly(true);
    m_wndClass->setReadOnly(true);
    auto* profile = new QGroupBox(QStringLiteral("Profile"));
    auto* profileForm = new QFormLayout(profile);
    profileForm->addRow(QStringLiteral("Name:"), m_wndName);
    profileForm->addRow(QStringLiteral("Class:"), m_wndClass);
    auto* fileForm = new QFormLayout;
    fileForm->addRow(QStringLiteral("Filename:"), m_wndFilename);

    QDialogButtonBox* buttons = MakeOkCancel(*this, OkDefault::Yes);
    m_okButton = buttons->button(QDialogButtonBox::Ok);
    QPushButton* browse =
        buttons->addButton(QStringLiteral("&Browse"), QDialogButtonBox::ActionRole);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &CExportProf::OnBrowse);
    connect(m_wndFilename, &QLineEdit::textChanged, this, &CExportProf::OnChangeFilename);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(profile);
    layout->addLayout(fileForm);
    layout->addWidget(buttons);
    setMinimumWidth(380);
    DoDataExchange(false);
    m_wndFilename->setFocus();  // the one field to edit
}

QString CExportProf::FilePath() const {
    return ExportFilePath(m_strBrowsedFolder, m_strFilename);
}

void CExportProf::accept() {
    DoDataExchange(true);
    if (!IsConfirmableFileName(m_strFilename))
        return;
    QDialog::accept();
}

void CExportProf::OnChangeFilename() {
    DoDataExchange(true);
    m_okButton->setEnabled(IsConfirmableFileName(m_strFilename));
}

void CExportProf::OnBrowse() {
    DoDataExchange(true);
    const std::optional<QString> chosen = ChooseProfileFileToWrite(
        this, BrowseStartPath(ApplicationProfileDirectory(), m_strFilename));
    if (!chosen)
        return;
    const SplitPath parts = SplitAtLastSeparator(*chosen);
    SetApplicationProfileDirectory(parts.folder);
    m_strBrowsedFolder = parts.folder;
    m_strFilename = parts.fileName;
    m_wndFilename->setText(m_strFilename);
    done(QDialog::Accepted);
}

void CExportProf::DoDataExchange(bool save) {
    if (save) {
        m_strFilename = m_wndFilename->text();
        return;
    }
    ShowByteString(*m_wndName, m_strName);
    ShowByteString(*m_wndClass, m_strClass);
    m_wndFilename->setText(m_strFilename);
    m_okButton->setEnabled(IsConfirmableFileName(m_strFilename));
}
