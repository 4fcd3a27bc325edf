#pragma once
// One server's run: a document opened on the target (an entry, or an address with its key
// file), the command run over it, its output and messages on the streams given.

#include <memory>
#include <ostream>

#include "tools/tlvadm/args.h"
#include "tools/tlvadm/targets.h"

class SessionAbortLine;

// abortLine (may be null) ends the run's connect and calls from another thread. bBrief: a
// failed connection is told in one line, its reason, without the GUI's sentence above it.
int RunOnTarget(const Target& target, const TlvadmArgs& args, std::ostream& out, std::ostream& err,
                const std::shared_ptr<SessionAbortLine>& abortLine, bool bBrief);
