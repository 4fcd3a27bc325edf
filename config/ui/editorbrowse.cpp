#include "config/ui/editorbrowse.h"

#include <QFileDialog>
#include <optional>

#include "framework/widgets/filechoice.h"

namespace {

const QString kExecutablesFilter = QStringLiteral("Executables (*)");

QDir::Filters FilterFor(const QString& nameFilter) {
    const QDir::Filters shown = QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot;
    return nameFilter == kExecutablesFilter ? shown | QDir::Executable : shown;
}

}  // namespace

bool BrowseForEditor(QWidget* owner, std::string& path) {
    QFileDialog dialog(owner, QStringLiteral("Select Profile Editor"));
    SetUpOpenFileDialog(dialog, kExecutablesFilter);
    dialog.setFilter(FilterFor(kExecutablesFilter));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setFilter(FilterFor(filter)); });
    const std::optional<std::string> chosen = ChosenFile(dialog);
    if (chosen)
        path = *chosen;
    return chosen.has_value();
}
