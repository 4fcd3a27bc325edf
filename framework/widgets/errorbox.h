#pragma once
// CErrorBox: one text of the string table in a message box with only OK, the exclamation icon
// and the system-modal flag, captioned "Error", through the modal seam; under it, when given,
// the details of what went wrong.

#include <QString>

class QWidget;

class CErrorBox final {
public:
    // The parent's window owns the box; with none, the active window does.
    explicit CErrorBox(unsigned stringId, QWidget* parent = nullptr, QString details = {});

    // Shows the box; returns 1.
    int DoModal();

private:
    unsigned m_nStringId;
    QWidget* m_pParent;
    QString m_strDetails;
};
