#include "framework/widgets/overridewaitcursor.h"

#include <QCursor>
#include <QGuiApplication>

void OverrideWaitCursor::Show() {
    if (qGuiApp == nullptr)
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_bOverridden = true;
}

void OverrideWaitCursor::Hide() {
    if (!m_bOverridden)
        return;
    m_bOverridden = false;
    if (qGuiApp != nullptr)
        QGuiApplication::restoreOverrideCursor();
}
