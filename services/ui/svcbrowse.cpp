#include "services/ui/svcbrowse.h"

#include <QFileDialog>

#include "framework/widgets/filechoice.h"

std::optional<std::string> BrowseForServiceFile(QWidget* owner, ServiceKind kind) {
    const QString suffix = kind == ServiceKind::DLL ? QStringLiteral("dll") : QStringLiteral("exe");
    const QString kindFilter = QStringLiteral("*.%1 (*.%1)").arg(suffix);

    QFileDialog dialog(owner, QStringLiteral("Select File"));
    // "All files" lists everything: programs here need not carry a dot in their names.
    SetUpOpenFileDialog(dialog, kindFilter);
    dialog.setDefaultSuffix(suffix);
    // The default extension belongs to the kind's filter; added under "All files" it would turn
    // a chosen program without a dot into a file that does not exist.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, kindFilter, suffix](const QString& filter) {
                         dialog.setDefaultSuffix(filter == kindFilter ? suffix : QString());
                     });
    return ChosenFile(dialog);
}
