#include "app/helpviewer.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#include "framework/modalseam.h"
#include "resources/stringtable.h"

namespace {

void TellOperator(const QString& text) {
    Modal().MessageBox(text, StringTable::Load(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

QUrl HelpUrl(const QString& helpFile, unsigned command) {
    if (helpFile.isEmpty())
        return {};
    const QFileInfo hlp(helpFile);
    QUrl url = QUrl::fromLocalFile(hlp.dir().filePath(hlp.completeBaseName() + ".html"));
    if (command == HELP_KEY)
        url.setFragment(QStringLiteral("index"));
    else if (command == HELP_HELPONHELP)
        url.setFragment(QStringLiteral("using-help"));
    return url;
}

bool WinHelp(const QString& helpFile, unsigned command) {
    const QUrl url = HelpUrl(helpFile, command);
    if (url.isEmpty()) {
        TellOperator(QStringLiteral("The manual cannot be shown: the registry names no "
                                    "installation root (\"RootPath\")."));
        return false;
    }
    const QString manual = url.toLocalFile();
    if (!QFileInfo(manual).isFile()) {
        TellOperator(QStringLiteral("The manual was not found at %1.").arg(manual));
        return false;
    }
    if (!QDesktopServices::openUrl(url)) {
        TellOperator(QStringLiteral("No viewer could open the manual %1.").arg(manual));
        return false;
    }
    return true;
}
