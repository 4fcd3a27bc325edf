#pragma once
// CUnsavedChangesBox: asked when the editor closes with unsaved changes. It ends with IDYES
// for "Save", IDNO for "Discard" and IDCANCEL for "Cancel" (also Escape and the close button).

#include <QDialog>

class QPushButton;

class CUnsavedChangesBox final : public QDialog {
    Q_OBJECT

public:
    CUnsavedChangesBox(const QString& text, QWidget* parent);

    QPushButton* SaveButton() const { return m_pSave; }
    QPushButton* DiscardButton() const { return m_pDiscard; }
    QPushButton* CancelButton() const { return m_pCancel; }

private:
    QPushButton* m_pSave;
    QPushButton* m_pDiscard;
    QPushButton* m_pCancel;
};
