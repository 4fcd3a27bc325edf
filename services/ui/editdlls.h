#pragma once
// CEditDLLService, "Edit DLL Service": one DLL service's record (services/ui/svcdialog.h).

#include <string>

#include "services/ui/svcdialog.h"

class CEditDLLService final : public CServiceDialog {
    Q_OBJECT

public:
    CEditDLLService(CTkvs set, QWidget* parent, int bServerIsLocal);

    // For a new service the callers set the DLL path before running the dialog.
    void SetDLLPath(const std::string& path);
    const DllServiceFields& Fields() const { return m_fields; }

    void accept() override;

private:
    void OnBrowse();
    bool DoDataExchange(bool save) override;

    DllServiceFields m_fields;

    QLineEdit* m_wndDLLPath;
    QPushButton* m_wndBrowse;
    QLineEdit* m_wndArguments;
    QLineEdit* m_wndProcessName;
    QLineEdit* m_wndEmergencyTimeout;
    QCheckBox* m_wndLinkEarly;
    QCheckBox* m_wndUnlinkLate;
};
