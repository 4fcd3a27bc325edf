#include "tools/tlvedit/editorwnd.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include "framework/modalseam.h"
#include "resources/stringtable.h"
#include "tools/tlvedit/contentscheck.h"
#include "tools/tlvedit/editormessages.h"
#include "tools/tlvedit/profileconnection.h"
#include "tools/tlvedit/profilename.h"
#include "tools/tlvedit/unsavedbox.h"

CProfileEditorWnd::CProfileEditorWnd(ProfileConnection& connection, EditMode mode,
                                     const QString& name, const QString& profileClass,
                                     const QString& contents)
    : m_connection(connection), m_mode(mode), m_strClass(profileClass) {
    BuildWidgets();
    BuildActions();
    m_pName->setText(name);
    m_pName->setReadOnly(mode == EditMode::Edit);
    m_pClass->setText(profileClass);
    m_pEntry->setText(connection.Entry());
    m_pContents->setPlainText(contents);
    MarkSaved();
    CheckNow();

    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(kCheckDelayMs);
    connect(&m_checkTimer, &QTimer::timeout, this, [this] { CheckNow(); });
    connect(m_pName, &QLineEdit::textChanged, this, [this] { OnFieldsChanged(); });
    connect(m_pContents, &QPlainTextEdit::textChanged, this, [this] { OnFieldsChanged(); });
    (mode == EditMode::New ? static_cast<QWidget*>(m_pName) : m_pContents)->setFocus();
    // The caption says when the server leaves a call unanswered.
    m_connection.SetResponsivenessHandler([this] { UpdateTitle(); });
}

CProfileEditorWnd::~CProfileEditorWnd() {
    m_connection.SetResponsivenessHandler({});
}

void CProfileEditorWnd::BuildWidgets() {
    auto* central = new QWidget(this);
    m_pName = new QLineEdit(central);
    m_pClass = new QLineEdit(central);
    m_pClass->setReadOnly(true);
    m_pEntry = new QLineEdit(central);
    m_pEntry->setReadOnly(true);
    m_pContents = new QPlainTextEdit(central);
    m_pContents->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_pContents->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab moves on, so the whole window can be worked from the keyboard.
    m_pContents->setTabChangesFocus(true);
    m_pStatus = new QLabel(central);
    m_pStatus->setWordWrap(true);
    m_pStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pStatus->setAccessibleName(QStringLiteral("Status"));
    m_pSaveButton = new QPushButton(QStringLiteral("&Save"), central);
    m_pCloseButton = new QPushButton(QStringLiteral("Close"), central);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), m_pName);
    form->addRow(QStringLiteral("C&lass:"), m_pClass);
    form->addRow(QStringLiteral("Se&rver:"), m_pEntry);
    auto* contentsLabel = new QLabel(QStringLiteral("&Contents:"), central);
    contentsLabel->setBuddy(m_pContents);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pStatus, 1);
    buttons->addWidget(m_pSaveButton);
    buttons->addWidget(m_pCloseButton);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(form);
    layout->addWidget(contentsLabel);
    layout->addWidget(m_pContents, 1);
    layout->addLayout(buttons);
    setCentralWidget(central);
    resize(640, 480);

    connect(m_pSaveButton, &QPushButton::clicked, this, [this] { Save(); });
    connect(m_pCloseButton, &QPushButton::clicked, this, &QWidget::close);
}

void CProfileEditorWnd::BuildActions() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_pSaveAction = file->addAction(QStringLiteral("&Save"));
    m_pSaveAction->setShortcut(QKeySequence::Save);
    connect(m_pSaveAction, &QAction::triggered, this, [this] { Save(); });
    QAction* close = file->addAction(QStringLiteral("&Close"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);
}

bool CProfileEditorWnd::IsModified() const {
    return m_pName->text() != m_strSavedName || m_pContents->document()->isModified();
}

bool CProfileEditorWnd::IsSaveEnabled() const {
    return m_pSaveAction->isEnabled();
}

void CProfileEditorWnd::OnFieldsChanged() {
    m_checkTimer.start();
    // Until the pending check has run, Ctrl+S must not be dead: Save checks first and explains
    // what cannot be saved.
    m_pSaveAction->setEnabled(true);
    UpdateTitle();
}

bool CProfileEditorWnd::CheckNow() {
    RunCheck();
    return IsSaveEnabled();
}

ContentsCheck CProfileEditorWnd::RunCheck() {
    m_checkTimer.stop();
    ContentsCheck check = CheckContents(m_pContents->toPlainText());
    ShowCheck(check);
    return check;
}

void CProfileEditorWnd::ShowCheck(const ContentsCheck& check) {
    // A profile being edited keeps the name the server knows it by, whatever it is.
    const QString nameProblem =
        m_mode == EditMode::New ? NameProblemText(CheckProfileName(m_pName->text())) : QString();
    if (!nameProblem.isEmpty())
        m_pStatus->setText(nameProblem);
    else if (!check.contents)
        m_pStatus->setText(QStringLiteral("Error at ") +
                           QString::fromStdString(check.error.text()));
    else
        m_pStatus->setText(ContentsValidText());
    SetSaveEnabled(nameProblem.isEmpty() && check.contents.has_value());
}

void CProfileEditorWnd::SetSaveEnabled(bool bEnabled) {
    m_pSaveAction->setEnabled(bEnabled);
    m_pSaveButton->setEnabled(bEnabled);
}

bool CProfileEditorWnd::Save() {
    const ContentsCheck check = RunCheck();
    if (!IsSaveEnabled()) {
        Modal().MessageBox(m_pStatus->text(), EditorCaption(), MB_OK | MB_ICONEXCLAMATION, this);
        return false;
    }
    const QString name = m_pName->text();
    const CTerror error = m_mode == EditMode::New
                              ? m_connection.Add(name, m_strClass, *check.contents)
                              : m_connection.Update(name, m_strClass, *check.contents);
    if (m_connection.WasCancelled()) {
        Modal().MessageBox(StringTable::Load(IDS_WAIT_CANCELLED).arg(m_connection.Entry()),
                           EditorCaption(), MB_OK | MB_ICONEXCLAMATION, this);
        return false;
    }
    if (error != CTerr_NoError) {
        const ProfileCall call = m_mode == EditMode::New ? ProfileCall::Add : ProfileCall::Update;
        Modal().MessageBox(ProfileFailureText(call, name, m_strClass, error), EditorCaption(),
                           MB_OK | MB_ICONERROR, this);
        return false;
    }
    if (m_mode == EditMode::New)
        EnterEditMode();
    MarkSaved();
    m_pStatus->setText(QStringLiteral("The profile has been saved."));
    return true;
}

void CProfileEditorWnd::EnterEditMode() {
    m_mode = EditMode::Edit;
    m_pName->setReadOnly(true);
}

void CProfileEditorWnd::MarkSaved() {
    m_strSavedName = m_pName->text();
    m_pContents->document()->setModified(false);
    UpdateTitle();
}

void CProfileEditorWnd::UpdateTitle() {
    const QString silence =
        m_connection.IsNotResponding() ? StringTable::Load(IDS_NOT_RESPONDING_SUFFIX) : QString();
    setWindowTitle(QStringLiteral("%1 (%2) on %3%4[*] - %5")
                       .arg(DisplayName(), m_strClass, m_connection.Entry(), silence,
                            EditorCaption()));
    setWindowModified(IsModified());
}

QString CProfileEditorWnd::DisplayName() const {
    const QString name = m_pName->text();
    return name.isEmpty() ? StringTable::Load(IDS_UNTITLED) : name;
}

void CProfileEditorWnd::closeEvent(QCloseEvent* event) {
    if (ConfirmClose())
        event->accept();
    else
        event->ignore();
}

bool CProfileEditorWnd::ConfirmClose() {
    if (!IsModified())
        return true;
    CUnsavedChangesBox box(UnsavedChangesText(DisplayName()), this);
    switch (Modal().RunDialog(box)) {
        case IDYES:
            return Save();
        case IDNO:
            return true;
        default:
            return false;
    }
}
