#include "config/ui/mndlg.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/multinode.h"
#include "config/sharepath.h"
#include "config/ui/cfgerror.h"
#include "framework/bytetext.h"
#include "framework/modalseam.h"
#include "framework/widgets/bytefield.h"
#include "resources/stringtable.h"

namespace {

QLabel* Prompt(unsigned id) {
    auto* label = new QLabel(StringTable::Load(id));
    label->setWordWrap(true);
    return label;
}

QPushButton* Button(const char* text, const char* objectName) {
    auto* button = new QPushButton(QString::fromLatin1(text));
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

QLineEdit* Field(const char* objectName) {
    auto* field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(objectName));
    return field;
}

// "OK" and "Cancel" at the right, accepting and rejecting the dialog; neither is the default.
QHBoxLayout* OkCancelRow(QDialog& dialog) {
    QPushButton* ok = Button("OK", "ok");
    QPushButton* cancel = Button("Cancel", "cancel");
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void ShowMessage(const QString& text, QWidget* owner) {
    Modal().MessageBox(text, StringTable::Load(IDS_APP_TITLE), MB_OK, owner);
}

// The text with its first %s replaced.
QString Formatted(unsigned id, const QString& value) {
    QString text = StringTable::Load(id);
    if (const qsizetype mark = text.indexOf(QStringLiteral("%s")); mark >= 0)
        text.replace(mark, 2, value);
    return text;
}

}  // namespace

CMultinodeWrnDlg::CMultinodeWrnDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(StringTable::Load(IDS_MULTINODE_WARNING_TITLE));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Prompt(IDS_MULTINODE_WARNING_CONFIRM));
    layout->addWidget(Prompt(IDS_MULTINODE_WARNING_IRREVERSIBLE));
    layout->addWidget(Prompt(IDS_MULTINODE_WARNING_RESOURCE_NODE));
    layout->addLayout(OkCancelRow(*this));
    QPushButton* cancel = findChild<QPushButton*>(QStringLiteral("cancel"));
    cancel->setDefault(true);
    cancel->setFocus();
}

CMultinodeDlg::CMultinodeDlg(QWidget* parent)
    : QDialog(parent),
      m_scm(nullptr, nullptr, SC_MANAGER_ALL_ACCESS),
      m_strContainerPath(StringTable::Text(IDS_MULTINODE_INITIAL_CONTAINER_PATH)),
      m_wndContainerPath(Field("containerPath")),
      m_wndAccount(Field("account")),
      m_wndPassword(Field("password")) {
    setWindowTitle(QStringLiteral("Configure for Multinode"));
    m_wndPassword->setEchoMode(QLineEdit::Password);

    auto* logOn = new QGroupBox(QStringLiteral("Log On As:"));
    auto* logOnGrid = new QGridLayout(logOn);
    auto* accountLabel = new QLabel(QStringLiteral("Account:"));
    accountLabel->setBuddy(m_wndAccount);
    auto* passwordLabel = new QLabel(QStringLiteral("Password:"));
    passwordLabel->setBuddy(m_wndPassword);
    logOnGrid->addWidget(Prompt(IDS_MULTINODE_ACCOUNT_PROMPT), 0, 0, 1, 2);
    logOnGrid->addWidget(accountLabel, 1, 0);
    logOnGrid->addWidget(m_wndAccount, 1, 1);
    logOnGrid->addWidget(passwordLabel, 2, 0);
    logOnGrid->addWidget(m_wndPassword, 2, 1);

    QPushButton* browse = Button("&Browse", "browse");
    connect(browse, &QPushButton::clicked, this, &CMultinodeDlg::OnBrowse);
    auto* container = new QGroupBox(QStringLiteral("Container Path"));
    auto* containerGrid = new QGridLayout(container);
    containerGrid->addWidget(Prompt(IDS_MULTINODE_PATH_PROMPT), 0, 0, 1, 2);
    containerGrid->addWidget(m_wndContainerPath, 1, 0);
    containerGrid->addWidget(browse, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(logOn);
    layout->addWidget(container);
    layout->addLayout(OkCancelRow(*this));
    DoDataExchange(false);
}

int CMultinodeDlg::DoModal() {
    if (!IsServerStopped(m_scm)) {
        ShowMessage(StringTable::Load(IDS_MULTINODE_SERVER_RUNNING), parentWidget());
        return IDCANCEL;
    }
    m_strAccount = ProposedServiceAccount();
    DoDataExchange(false);
    return Modal().RunDialog(*this);
}

void CMultinodeDlg::DoDataExchange(bool save) {
    if (save) {
        m_strContainerPath = TrimTrailingWhiteSpace(FieldBytes(*m_wndContainerPath));
        m_strAccount = FieldBytes(*m_wndAccount);
    } else {
        ShowBytes(*m_wndContainerPath, m_strContainerPath);
        ShowBytes(*m_wndAccount, m_strAccount);
        // A long path shows its start: the share, which is what the operator checks.
        m_wndContainerPath->setCursorPosition(0);
    }
}

void CMultinodeDlg::OnBrowse() {
    QFileDialog dialog(this, StringTable::Load(IDS_MULTINODE_BROWSE_TITLE));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (Modal().RunDialog(dialog) != IDOK)
        return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return;
    const std::string folder = QFile::encodeName(chosen.front()).toStdString();
    // Only a share the resource node serves can hold the containers: a local folder has no UNC
    // path that could pass the check of OK.
    if (const std::optional<std::string> unc = UncPathOfFolder(folder)) {
        ShowBytes(*m_wndContainerPath, *unc);
        m_wndContainerPath->setCursorPosition(0);
    } else {
        ShowMessage(Formatted(IDS_MULTINODE_NOT_A_SHARE, ShownText(folder)), this);
    }
}

void CMultinodeDlg::RefuseContainerPath() {
    Modal().MessageBeep(MB_ICONEXCLAMATION);
    m_wndContainerPath->selectAll();
    m_wndContainerPath->setFocus();
}

void CMultinodeDlg::accept() {
    DoDataExchange(true);
    const std::optional<std::string> resourceComputer = ResourceComputerName(m_strContainerPath);
    if (!resourceComputer) {
        RefuseContainerPath();
        return;
    }
    CMultinodeWrnDlg warning(this);
    if (Modal().RunDialog(warning) != IDOK)
        return;
    if (Reconfigure(*resourceComputer))
        QDialog::accept();
}

bool CMultinodeDlg::Reconfigure(const std::string& resourceComputer) {
    QByteArray password = m_wndPassword->text().toUtf8();
    const SCM_Error error = m_scm.ChangeService(kServerServiceName, kServerServiceName,
                                                m_strAccount.c_str(), password.constData());
    password.fill('\0');
    if (error != SCM_Success) {
        ShowConfigError(ChangeServiceFailureMessage(error), this);
        return false;
    }
    const MultinodeWrite written = WriteMultinodeSettings(resourceComputer, m_strContainerPath);
    m_bContainerPathWritten = written.containerPathWritten;
    if (!written.succeeded)
        ShowConfigError(IDS_MULTINODE_FAILED, this);
    ShowMessage(Formatted(IDS_MULTINODE_ACCOUNT_SET, ShownText(m_strAccount)), this);
    ShowMessage(StringTable::Load(IDS_MULTINODE_SHARE_REMINDER), this);
    return true;
}
