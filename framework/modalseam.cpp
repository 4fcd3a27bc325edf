#include "framework/modalseam.h"

#include <QStringList>
#include <QtGlobal>
#include <utility>

namespace {

// Qt's QDialog::Rejected and QDialog::Accepted, without pulling in Qt Widgets.
constexpr int kDialogRejected = 0;
constexpr int kDialogAccepted = 1;

class UnattendedSeam final : public ModalSeam {
public:
    int RunDialog(QDialog& /*dialog*/) override {
        qWarning("modal dialog run with no modal seam installed: cancelled");
        return IDCANCEL;
    }
    int MessageBox(const QString& text, const QString& caption, unsigned flags, QWidget* /*owner*/,
                   const QString& details) override {
        qWarning("message box with no modal seam installed: [%s] %s", qUtf8Printable(caption),
                 qUtf8Printable(details.isEmpty() ? text : text + QLatin1Char('\n') + details));
        return DefaultMessageBoxAnswer(flags);
    }
    void MessageBeep(unsigned /*type*/) override {}
};

UnattendedSeam g_unattended;
ModalSeam* g_pInstalled = &g_unattended;

}  // namespace

ModalSeam& Modal() {
    return *g_pInstalled;
}

ModalSeam* SwapModalSeam(ModalSeam* seam) {
    return std::exchange(g_pInstalled, seam);
}

QString DetailsOfLines(const std::vector<std::string>& lines) {
    QStringList shown;
    for (const std::string& line : lines)
        shown.append(QString::fromStdString(line));
    return shown.join(QLatin1Char('\n'));
}

int ModalResultOf(int dialogResult) {
    if (dialogResult == kDialogRejected)
        return IDCANCEL;
    if (dialogResult == kDialogAccepted)
        return IDOK;
    return dialogResult;
}

std::span<const int> MessageBoxButtons(unsigned flags) {
    static constexpr int kOk[] = {IDOK};
    static constexpr int kOkCancel[] = {IDOK, IDCANCEL};
    static constexpr int kAbortRetryIgnore[] = {IDABORT, IDRETRY, IDIGNORE};
    static constexpr int kYesNoCancel[] = {IDYES, IDNO, IDCANCEL};
    static constexpr int kYesNo[] = {IDYES, IDNO};
    static constexpr int kRetryCancel[] = {IDRETRY, IDCANCEL};
    switch (flags & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return kOkCancel;
        case MB_ABORTRETRYIGNORE:
            return kAbortRetryIgnore;
        case MB_YESNOCANCEL:
            return kYesNoCancel;
        case MB_YESNO:
            return kYesNo;
        case MB_RETRYCANCEL:
            return kRetryCancel;
        default:
            return kOk;
    }
}

int DefaultMessageBoxAnswer(unsigned flags) {
    const std::span<const int> buttons = MessageBoxButtons(flags);
    const std::size_t index = (flags & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}
