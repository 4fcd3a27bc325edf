#pragma once
// tlvadm's check: one profile check run on the session, its findings printed in run order,
// as "<label><text>" lines or as a JSON array of {"type", "profile", "text"}.

#include <ostream>

class ECTF_AdminSession;

// The exit status: 0 when the run's result is 1, 1 when it is 0, 2 when the connection was
// lost during the run (the lost-connection message then goes to err).
int RunProfileCheck(ECTF_AdminSession& session, bool bJson, std::ostream& out, std::ostream& err);
