#pragma once
// CProfileEditorWnd: the editor's window for one profile. A name field (editable only while the
// profile is new), its class and server entry read-only, and its contents in the KV set text
// notation, checked a moment after each change: the first problem goes to the status line and
// Save stays disabled until the name and the text are fine. Save adds a new profile (and the
// window then edits it) or updates the one being edited. Closing with unsaved changes asks
// whether to save them first.

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include "tools/tlvedit/contentscheck.h"
#include "tools/tlvedit/editorargs.h"

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class ProfileConnection;

class CProfileEditorWnd final : public QMainWindow {
    Q_OBJECT

public:
    // How long the text rests before it is checked.
    static constexpr int kCheckDelayMs = 300;

    // For EditMode::New the name is empty and contents is "{ }"; for Edit the contents are the
    // printed set fetched from the server. The connection must outlive the window.
    CProfileEditorWnd(ProfileConnection& connection, EditMode mode, const QString& name,
                      const QString& profileClass, const QString& contents);
    ~CProfileEditorWnd() override;

    EditMode Mode() const { return m_mode; }
    bool IsModified() const;
    bool IsSaveEnabled() const;

    // Checks the fields now (the timer does so after kCheckDelayMs); true when they can be saved.
    bool CheckNow();
    // Checks, then adds or updates the profile; a refusal is shown in a box. True when saved.
    bool Save();

    // The widgets, for tests and for keyboard-driven use.
    QLineEdit* NameField() const { return m_pName; }
    QLineEdit* ClassField() const { return m_pClass; }
    QPlainTextEdit* ContentsField() const { return m_pContents; }
    QLabel* StatusLine() const { return m_pStatus; }
    QPushButton* SaveButton() const { return m_pSaveButton; }
    QAction* SaveAction() const { return m_pSaveAction; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWidgets();
    void BuildActions();
    void OnFieldsChanged();
    // Checks the fields, shows the outcome and sets Save's state.
    ContentsCheck RunCheck();
    void ShowCheck(const ContentsCheck& check);
    void SetSaveEnabled(bool bEnabled);
    void EnterEditMode();
    void MarkSaved();
    void UpdateTitle();
    QString DisplayName() const;
    // Asks about unsaved changes; true when the window may close.
    bool ConfirmClose();

    ProfileConnection& m_connection;
    EditMode m_mode;
    QString m_strClass;
    QString m_strSavedName;

    QLineEdit* m_pName = nullptr;
    QLineEdit* m_pClass = nullptr;
    QLineEdit* m_pEntry = nullptr;
    QPlainTextEdit* m_pContents = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pSaveButton = nullptr;
    QPushButton* m_pCloseButton = nullptr;
    QAction* m_pSaveAction = nullptr;
    QTimer m_checkTimer;
};
