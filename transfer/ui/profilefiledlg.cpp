#include "transfer/ui/profilefiledlg.h"

#include <QFileDialog>

#include "framework/modalseam.h"

namespace {

const QString kProfileFilesFilter = QStringLiteral("Profile Files (*.ief)");
// Files here need not carry a dot in their names, so "All files" is every file.
const QString kAllFilesFilter = QStringLiteral("All files (*)");
const QString kProfileSuffix = QStringLiteral("ief");

void SetUpProfileFilters(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({kProfileFilesFilter, kAllFilesFilter});
    dialog.selectNameFilter(kProfileFilesFilter);
    dialog.setDefaultSuffix(kProfileSuffix);
    // Added under "All files" the extension would turn a chosen file without a dot into one
    // that does not exist.
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
            dialog.setDefaultSuffix(filter == kProfileFilesFilter ? kProfileSuffix : QString());
        });
}

std::optional<QString> RunForOnePath(QFileDialog& dialog) {
    if (Modal().RunDialog(dialog) != IDOK)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.front();
}

}  // namespace

std::optional<QString> ChooseProfileFileToRead(QWidget* owner, const QString& startFolder) {
    QFileDialog dialog(owner, QStringLiteral("Select File"), startFolder);
    SetUpProfileFilters(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunForOnePath(dialog);
}

std::optional<QString> ChooseProfileFileToWrite(QWidget* owner, const QString& startPath) {
    QFileDialog dialog(owner, QStringLiteral("Select File"));
    SetUpProfileFilters(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(startPath);
    return RunForOnePath(dialog);
}
