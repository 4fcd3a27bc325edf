#include "session/servicestatus.h"

#include <QDateTime>

#include "framework/bytetext.h"

QString LastExitText(const TLVserviceStatus& status) {
    if (!status.hasExited)
        return {};
    if (status.lastSignal != 0)
        return QStringLiteral("killed by signal %1").arg(status.lastSignal);
    return QStringLiteral("exited with code %1").arg(status.lastExitCode);
}

QString LastExitWithTime(const TLVserviceStatus& status) {
    if (!status.hasExited)
        return {};
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(status.lastExitTimeMs);
    return LastExitText(status) + QStringLiteral(" at ") +
           at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString KindText(const TLVserviceStatus& status) {
    return status.kind == SVC_KindDLL ? QStringLiteral("DLL") : QStringLiteral("Executable");
}

QStringList ServiceStatusLines(const DisplayTexts& texts, const TLVserviceStatus& status) {
    QStringList lines;
    lines << QStringLiteral("State: ") + StateText(texts, status.state);
    lines << QStringLiteral("Type: ") + KindText(status) +
                 (status.disabled ? texts.m_strDisabled : QString());
    if (!status.program.empty())
        lines << QStringLiteral("Program: ") + ShownText(status.program);
    if (status.pid > 0)
        lines << QStringLiteral("PID: %1").arg(status.pid);
    lines << QStringLiteral("Restarts: %1").arg(status.restarts);
    if (status.hasExited)
        lines << QStringLiteral("Last exit: ") + LastExitWithTime(status);
    if (!status.lastOutput.empty()) {
        lines << QStringLiteral("Output:");
        for (const std::string& line : status.lastOutput)
            lines << QStringLiteral("  ") + ShownText(line);
    }
    return lines;
}
