#pragma once
// CEditEXEService, "Edit Executable Service": one executable service's record
// (services/ui/svcdialog.h); the caller sends the set to the server after OK.

#include <string>

#include "services/ui/svcdialog.h"

class QComboBox;

class CEditEXEService final : public CServiceDialog {
    Q_OBJECT

public:
    // Reads the set at once; with a local server and no machine name in the set, this
    // computer's name is proposed.
    CEditEXEService(CTkvs set, QWidget* parent, int bServerIsLocal);

    // For a new service the callers set the command line before running the dialog.
    void SetCommandLine(const std::string& commandLine);
    const ExeServiceFields& Fields() const { return m_fields; }

    void accept() override;

private:
    void OnInitDialog() override;
    void OnBrowse();
    void SelectStoredProcessor();
    bool DoDataExchange(bool save) override;

    ExeServiceFields m_fields;
    char m_chProcessorAtOpening = '1';

    QLineEdit* m_wndCommandLine;
    QPushButton* m_wndBrowse;
    QLineEdit* m_wndMachineName;
    QComboBox* m_wndProcessor;
    QLineEdit* m_wndStartTimeout;
    QLineEdit* m_wndEmergencyTimeout;
    QLineEdit* m_wndExitTimeout;
    QLineEdit* m_wndMaxRestarts;
    QCheckBox* m_wndDetectHangs;
};
