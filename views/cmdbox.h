#pragma once
// CCommandBox: the small confirmation and warning dialogs of the list-view commands, one text
// and a row of buttons each, run through the modal seam. Each is made from its resource id.

#include <QDialog>

#include "resources/resourceids.h"

class QHBoxLayout;
class QPushButton;

class CCommandBox : public QDialog {
    Q_OBJECT

public:
    // An id that is none of the above makes an empty box with OK alone.
    CCommandBox(unsigned resourceId, QWidget* parent);

    // IDOK, IDCANCEL, or the result of a button of the dialog's own.
    int DoModal();

protected:
    // A button placed at the position in the row, ending the dialog with the result.
    QPushButton* InsertButton(int position, const QString& text);

private:
    QHBoxLayout* m_buttonRow;
};

// Asks with the dialog; true when the operator chose its OK button.
bool ConfirmWith(unsigned resourceId, QWidget* parent);
