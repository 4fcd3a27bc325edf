#include "services/ui/svcbrowse.h"

#include <QFile>
#include <QFileDialog>

#include "framework/modalseam.h"

namespace {

// "All files" lists everything: programs here need not carry a dot in their names.
const QString kAllFilesFilter = QStringLiteral("All files (*)");

}  // namespace

std::optional<std::string> BrowseForServiceFile(QWidget* owner, ServiceKind kind) {
    const QString suffix = kind == ServiceKind::DLL ? QStringLiteral("dll") : QStringLiteral("exe");
    const QString kindFilter = QStringLiteral("*.%1 (*.%1)").arg(suffix);

    QFileDialog dialog(owner, QStringLiteral("Select File"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({kindFilter, kAllFilesFilter});
    dialog.selectNameFilter(kindFilter);
    dialog.setDefaultSuffix(suffix);
    // The default extension belongs to the kind's filter; added under "All files" it would turn
    // a chosen program without a dot into a file that does not exist.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, kindFilter, suffix](const QString& filter) {
                         dialog.setDefaultSuffix(filter == kindFilter ? suffix : QString());
                     });
    if (Modal().RunDialog(dialog) != IDOK)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return QFile::encodeName(chosen.front()).toStdString();
}
