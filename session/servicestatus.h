#pragma once
// The plain-words account of a service's status that tlvadm's status command prints and the
// services list shows as a row's tooltip: state, type, process, restarts, last exit, output.

#include <QString>
#include <QStringList>

#include "s100/svcstatus.h"
#include "session/displaytexts.h"

// The bytes as Latin-1 text with control characters written as \xHH, so that what a service
// wrote cannot move a terminal's cursor or forge lines.
QString PrintableText(const std::string& bytes);

// "exited with code 3" or "killed by signal 9"; "" when it never ended.
QString LastExitText(const TLVserviceStatus& status);

// The last exit with its local time: "exited with code 3 at 2026-12-08 14:50:00".
QString LastExitWithTime(const TLVserviceStatus& status);

// "Executable" or "DLL".
QString KindText(const TLVserviceStatus& status);

// One "Label: value" line per fact that applies, then "Output:" and the last output lines,
// each indented by two blanks.
QStringList ServiceStatusLines(const DisplayTexts& texts, const TLVserviceStatus& status);
