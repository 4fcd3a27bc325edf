#pragma once
// CEditEXEService, "Edit Executable Service": one executable service's record, shown from the
// caller's KV set and written back into it on OK. The set belongs to the caller and outlives
// the dialog; the caller sends it to the server after OK.

#include <QDialog>
#include <cstdint>
#include <string>

#include "s100/s100.h"
#include "services/svcdef.h"
#include "services/ui/svcfields.h"

class QComboBox;

class CEditEXEService final : public QDialog {
    Q_OBJECT

public:
    // Reads the set at once; with a local server and no machine name in the set, this
    // computer's name is proposed.
    CEditEXEService(CTkvs set, QWidget* parent, int bServerIsLocal);

    // The callers set the name and, for a new service, the command line before running it.
    void SetServiceName(const std::string& name);
    void SetCommandLine(const std::string& commandLine);
    const std::string& ServiceName() const { return m_strServiceName; }
    const ExeServiceFields& Fields() const { return m_fields; }

    void accept() override;

protected:
    // The fields and the remote-server box come before the dialog shows.
    void setVisible(bool visible) override;

private:
    void OnInitDialog();
    void OnBrowse();
    void SelectStoredProcessor();
    bool DoDataExchange(bool save);

    CTkvs m_kvs;
    int m_bServerIsLocal;
    bool m_bOpened = false;
    std::string m_strServiceName = "NewService";
    ExeServiceFields m_fields;
    char m_chProcessorAtOpening = '1';

    QLineEdit* m_wndServiceName;
    QLineEdit* m_wndCommandLine;
    QPushButton* m_wndBrowse;
    QLineEdit* m_wndMachineName;
    QComboBox* m_wndProcessor;
    ServiceTypeControls m_serviceType;
    QLineEdit* m_wndStartTimeout;
    QLineEdit* m_wndEmergencyTimeout;
    QLineEdit* m_wndExitTimeout;
    QLineEdit* m_wndMaxRestarts;
    QCheckBox* m_wndDetectHangs;
};
