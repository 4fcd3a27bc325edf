#include "about/misc.h"

#include "about/aboutres.h"
#include "framework/modalseam.h"

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner) {
    BuildAboutDialog(*this);
}

void CAboutDlg::showEvent(QShowEvent* event) {
    if (const QWidget* owner = parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->frameGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

void RunAboutDlg(QWidget* owner) {
    CAboutDlg dialog(owner);
    Modal().RunDialog(dialog);
}
