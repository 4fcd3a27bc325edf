#pragma once
// The plain-words account of a service's status that tlvadm's status command prints and the
// services list shows as a row's tooltip: state, type, process, restarts, last exit, output.

#include <QString>
#include <QStringList>

#include "s100/svcstatus.h"
#include "session/displaytexts.h"

// "exited with code 3" or "killed by signal 9"; "" when it never ended.
QString LastExitText(const TLVserviceStatus& status);

// The last exit with its local time: "exited with code 3 at 2026-12-08 14:50:00".
QString LastExitWithTime(const TLVserviceStatus& status);

// "Executable" or "DLL".
QString KindText(const TLVserviceStatus& status);

// One "Label: value" line per fact that applies, then "Output:" and the last output lines,
// each indented by two blanks. The program and the output are shown as every server text is
// (framework/bytetext.h), so the lines are as safe in a terminal as in a tooltip.
QStringList ServiceStatusLines(const DisplayTexts& texts, const TLVserviceStatus& status);
