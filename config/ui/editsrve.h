#pragma once
// CEditSrvEntry, "Edit Server Entry": the server name, computer name and port of one entry.
// It checks nothing itself; the caller checks what the operator entered.

#include <QDialog>

#include "config/srventry.h"

class QLineEdit;

class CEditSrvEntry final : public QDialog {
    Q_OBJECT

public:
    explicit CEditSrvEntry(QWidget* parent = nullptr);

    // The fields the dialog opens with, and what the operator left in them after OK.
    void SetFields(const ServerEntryFields& fields);
    const ServerEntryFields& Fields() const { return m_fields; }

    void accept() override;

private:
    void DoDataExchange(bool save);

    ServerEntryFields m_fields;
    QLineEdit* m_wndServerName;
    QLineEdit* m_wndComputerName;
    QLineEdit* m_wndPortNumber;
};
