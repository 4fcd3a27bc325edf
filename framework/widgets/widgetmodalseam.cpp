#include "framework/widgets/widgetmodalseam.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton StandardButtonOf(int result) {
    switch (result) {
        case IDCANCEL:
            return QMessageBox::Cancel;
        case IDABORT:
            return QMessageBox::Abort;
        case IDRETRY:
            return QMessageBox::Retry;
        case IDIGNORE:
            return QMessageBox::Ignore;
        case IDYES:
            return QMessageBox::Yes;
        case IDNO:
            return QMessageBox::No;
        default:
            return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(unsigned flags) {
    switch (flags & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

int WidgetModalSeam::RunDialog(QDialog& dialog) {
    return ModalResultOf(dialog.exec());
}

int WidgetModalSeam::MessageBox(const QString& text, const QString& caption, unsigned flags,
                                QWidget* owner, const QString& details) {
    // exec() blocks the whole application: Qt's closest to system-modal, and enough for the rest.
    QMessageBox box(IconOf(flags), caption, text, QMessageBox::NoButton, owner);
    // Always marked up, with every character escaped: Qt guesses the format of informative
    // text, and a path or name must never be taken for markup.
    if (!details.isEmpty())
        box.setInformativeText(
            QStringLiteral("<p>%1</p>")
                .arg(details.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))));
    const std::span<const int> results = MessageBoxButtons(flags);
    for (const int result : results)
        box.addButton(StandardButtonOf(result));
    box.setDefaultButton(StandardButtonOf(DefaultMessageBoxAnswer(flags)));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const int result : results) {
        if (clicked == box.button(StandardButtonOf(result)))
            return result;
    }
    // Closed without a button (Escape where no button takes it): the way out of the box.
    return results.back() == IDCANCEL ? IDCANCEL : DefaultMessageBoxAnswer(flags);
}

void WidgetModalSeam::MessageBeep(unsigned /*type*/) {
    QApplication::beep();
}
