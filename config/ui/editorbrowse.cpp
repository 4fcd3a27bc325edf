#include "config/ui/editorbrowse.h"

#include <QFile>
#include <QFileDialog>

#include "framework/modalseam.h"

namespace {

const QString kExecutablesFilter = QStringLiteral("Executables (*)");
const QString kAllFilesFilter = QStringLiteral("All files (*)");

QDir::Filters FilterFor(const QString& nameFilter) {
    const QDir::Filters shown = QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot;
    return nameFilter == kExecutablesFilter ? shown | QDir::Executable : shown;
}

}  // namespace

bool BrowseForEditor(QWidget* owner, std::string& path) {
    QFileDialog dialog(owner, QStringLiteral("Select Profile Editor"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({kExecutablesFilter, kAllFilesFilter});
    dialog.selectNameFilter(kExecutablesFilter);
    dialog.setFilter(FilterFor(kExecutablesFilter));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setFilter(FilterFor(filter)); });
    if (Modal().RunDialog(dialog) != IDOK) {
        return false;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return false;
    }
    path = QFile::encodeName(chosen.front()).toStdString();
    return true;
}
