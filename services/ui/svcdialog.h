#pragma once
// CServiceDialog: what the two service edit dialogs share. Each shows one service's record from
// the caller's KV set and writes it back into it on OK; the set belongs to the caller and
// outlives the dialog. The name field, the "Service Type" group, the steps of opening, of
// "&Browse" and of OK's save are here; the record's other fields are each dialog's own.

#include <QDialog>
#include <functional>
#include <string>

#include "s100/s100.h"
#include "services/svcdef.h"
#include "services/ui/svcfields.h"

class CServiceDialog : public QDialog {
    Q_OBJECT

public:
    // The callers set the name before running the dialog.
    void SetServiceName(const std::string& name);
    const std::string& ServiceName() const { return m_strServiceName; }

protected:
    CServiceDialog(CTkvs set, QWidget* parent, int bServerIsLocal, std::string serviceName);

    // The fields and the remote-server box come before the dialog shows.
    void setVisible(bool visible) override;
    // Shows the fields and, for a server on another machine, the note on remote services.
    virtual void OnInitDialog();
    // Shows the fields, or reads them back: false when one holds no valid value (the operator
    // is told and the fields keep what they held).
    virtual bool DoDataExchange(bool save) = 0;
    // "&Browse": the fields read, a file of the kind chosen into path, the fields shown again.
    void BrowseInto(ServiceKind kind, std::string& path);
    // OK's first steps: the fields read and the record saved; save returns the id of the
    // message to show, or 0. False when either failed.
    bool ReadAndSave(const std::function<unsigned()>& save);

    CTkvs m_kvs;
    int m_bServerIsLocal;
    std::string m_strServiceName;
    QLineEdit* m_wndServiceName;
    ServiceTypeControls m_serviceType;

private:
    bool m_bOpened = false;
};
