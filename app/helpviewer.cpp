#include "app/helpviewer.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#include "framework/modalseam.h"

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
    if (url.isEmpty() || !QDesktopServices::openUrl(url)) {
        Modal().MessageBeep(MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}
