#pragma once
// The multinode configuration of the locally installed server.
//
// CMultinodeDlg asks for the account the server's service shall run as, its password and the
// UNC root path of the containers. OK checks the path, confirms with CMultinodeWrnDlg, changes
// the service's account and writes the server's registry values; the password goes to the
// service control manager and nowhere else. The step cannot be undone from here.

#include <QDialog>
#include <string>

#include "config/scm.h"

class QLineEdit;

// "Telvane Server Multinode Configuration": the last word before the change; Cancel is the
// default button.
class CMultinodeWrnDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CMultinodeWrnDlg(QWidget* parent = nullptr);
};

class CMultinodeDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CMultinodeDlg(QWidget* parent = nullptr);

    // Runs the dialog unless the server's service is not completely stopped, which is told in a
    // message box instead (the result is then IDCANCEL).
    int DoModal();

    // Whether "ContainerPath" was written: the server is a server node from now on.
    bool ContainerPathWritten() const { return m_bContainerPathWritten; }

    void accept() override;

private:
    void DoDataExchange(bool save);
    void OnBrowse();
    // Steps after the confirmation; false when the account change was refused.
    bool Reconfigure(const std::string& resourceComputer);
    void RefuseContainerPath();

    SCMclass m_scm;
    std::string m_strContainerPath;
    std::string m_strAccount;
    bool m_bContainerPathWritten = false;
    QLineEdit* m_wndContainerPath;
    QLineEdit* m_wndAccount;
    QLineEdit* m_wndPassword;
};
