#pragma once
// CAboutDlg: the about dialog's resource as it stands (its placeholder texts, an empty file
// list), opened from the server entry dialog. It opens centred on its owner.

#include <QDialog>

class CAboutDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* owner = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

// Runs a CAboutDlg modally over the owner.
void RunAboutDlg(QWidget* owner);
