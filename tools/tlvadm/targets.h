#pragma once
// What tlvadm's TARGET names: one server (an entry of the administration server table, or
// tcp:HOST:PORT), or many at once: --all, a shell-style pattern ('Site*', matched without
// regard to letter case as entry names are compared) or a comma list of any of these.
//
// A target that is itself an entry's name is that one entry, whatever characters it holds, so
// a command line that named one server before keeps naming it.

#include <string>
#include <vector>

struct Target {
    std::string name;       // the entry's name as the table holds it, or the target as written
    bool bAddress = false;  // tcp:HOST:PORT: no entry; opened with a key file
};

struct TargetPlan {
    // The form for many servers (--all, a pattern, a list), even when it names only one: its
    // lines are prefixed by the server.
    bool bMany = false;
    // Entries in the table's order; addresses and names the table lacks after them, as written.
    std::vector<Target> targets;
};

// Whether the target word asks for the table at all (a pattern or a list may be one entry's
// name), so that one plain entry costs no table read.
bool NeedsServerTable(const std::string& written);

// False with a message for a pattern that matches no entry, an empty name in a list, or --all
// over an empty table. tableNames: the table's entry names in its order.
bool ResolveTargets(const std::string& written, bool bAll,
                    const std::vector<std::string>& tableNames, TargetPlan& plan,
                    std::string& error);
