#pragma once
// tlvadm's check: one profile check run on the session, its findings printed in run order,
// as "<label><text>" lines or as a JSON array of {"type", "profile", "text"}.

#include <ostream>

class ECTF_AdminSession;

#include "tools/tlvadm/args.h"

// The exit status, for scripts and CI: 1 when the run failed (its result is 0), else 3 when a
// finding is at or above failOn, else 0; 2 when the connection was lost during the run (the
// lost-connection message then goes to err).
int RunProfileCheck(ECTF_AdminSession& session, bool bJson, FailOn failOn, std::ostream& out,
                    std::ostream& err);
