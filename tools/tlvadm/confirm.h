#pragma once
// Before a command changes more than one server: what it will do, told first; at a terminal it
// goes ahead only with --yes, so that a pattern typed by hand cannot change more servers than
// meant. Scripts (no terminal on standard input) go ahead.

#include <ostream>
#include <string>
#include <vector>

#include "tools/tlvadm/args.h"
#include "tools/tlvadm/targets.h"

// Whether the command changes what a server holds or does.
bool ChangesServer(const std::string& command);

// "start Core on Site01, Site02, Site03": the command as given and the servers.
std::string PlannedChange(const TlvadmArgs& args, const std::vector<Target>& targets);

// Tells the plan on err when the command changes more than one server; false (after a line
// naming --yes) when it must not go ahead.
bool ConfirmChange(const TlvadmArgs& args, const std::vector<Target>& targets, bool bTerminal,
                   std::ostream& err);
