#include "framework/widgets/filechoice.h"

#include <QFile>
#include <QFileDialog>

#include "framework/modalseam.h"

void SetUpOpenFileDialog(QFileDialog& dialog, const QString& firstFilter) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({firstFilter, QStringLiteral("All files (*)")});
    dialog.selectNameFilter(firstFilter);
}

std::optional<std::string> ChosenFile(QFileDialog& dialog) {
    if (Modal().RunDialog(dialog) != IDOK)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return QFile::encodeName(chosen.front()).toStdString();
}
