#pragma once
// --wait: polls the server until what a command asked for has happened, has failed, or the
// time is up. Failures go to err with the reason the server keeps (last exit, last output).

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "tools/tlvadm/commands.h"

class ECTF_AdminSession;

enum class WaitTarget { Running, Stopped };

// kExitOk when every named service reached the target, kExitRefused when one failed, stopped
// instead or the time ran out, kExitUsage when the connection was lost.
int WaitForServices(ECTF_AdminSession& session, const std::vector<std::string>& names,
                    WaitTarget target, std::chrono::seconds timeout, std::ostream& err);

// The same for a level change from one level to another: the services it starts must run,
// the ones it stops must be idle.
int WaitForLevel(ECTF_AdminSession& session, long from, long to, std::chrono::seconds timeout,
                 std::ostream& err);
