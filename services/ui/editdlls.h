#pragma once
// CEditDLLService, "Edit DLL Service": one DLL service's record, shown from the caller's KV set
// and written back into it on OK. The set belongs to the caller and outlives the dialog.

#include <QDialog>
#include <string>

#include "s100/s100.h"
#include "services/svcdef.h"
#include "services/ui/svcfields.h"

class CEditDLLService final : public QDialog {
    Q_OBJECT

public:
    CEditDLLService(CTkvs set, QWidget* parent, int bServerIsLocal);

    // The callers set the name and, for a new service, the DLL path before running it.
    void SetServiceName(const std::string& name);
    void SetDLLPath(const std::string& path);
    const std::string& ServiceName() const { return m_strServiceName; }
    const DllServiceFields& Fields() const { return m_fields; }

    void accept() override;

protected:
    // The fields and the remote-server box come before the dialog shows.
    void setVisible(bool visible) override;

private:
    void OnInitDialog();
    void OnBrowse();
    bool DoDataExchange(bool save);

    CTkvs m_kvs;
    int m_bServerIsLocal;
    bool m_bOpened = false;
    std::string m_strServiceName;
    DllServiceFields m_fields;

    QLineEdit* m_wndServiceName;
    QLineEdit* m_wndDLLPath;
    QPushButton* m_wndBrowse;
    ServiceTypeControls m_serviceType;
    QLineEdit* m_wndArguments;
    QLineEdit* m_wndProcessName;
    QLineEdit* m_wndEmergencyTimeout;
    QCheckBox* m_wndLinkEarly;
    QCheckBox* m_wndUnlinkLate;
};
