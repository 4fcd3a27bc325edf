#include "tools/tlvadm/tlvadm_cli.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "config/srvtable.h"
#include "platform/registry/regapi.h"
#include "platform/version/commandline.h"
#include "platform/version/projectversion.h"
#include "tools/tlvadm/args.h"
#include "tools/tlvadm/commands.h"
#include "tools/tlvadm/confirm.h"
#include "tools/tlvadm/fleetprint.h"
#include "tools/tlvadm/fleetrun.h"
#include "tools/tlvadm/registryhint.h"
#include "tools/tlvadm/streamseam.h"
#include "tools/tlvadm/targetrun.h"
#include "tools/tlvadm/targets.h"

namespace {

// The S.100 library for the length of one run.
class S100Library final {
public:
    S100Library() { m_bStarted = CT_Initialize(nullptr) == CT_SUCCESS; }
    ~S100Library() {
        if (m_bStarted)
            CT_Shutdown(nullptr);
    }
    S100Library(const S100Library&) = delete;
    S100Library& operator=(const S100Library&) = delete;
    bool IsStarted() const { return m_bStarted; }

private:
    bool m_bStarted = false;
};

std::vector<std::string> EntryNames(const TlvadmArgs& args) {
    std::vector<std::string> names;
    if (!args.bAll && !NeedsServerTable(args.target))
        return names;
    std::vector<ServerEntry> entries;
    ReadServerEntries(kAdministrationTableKey, entries);
    for (ServerEntry& entry : entries)
        names.push_back(std::move(entry.name));
    return names;
}

// The targets, checked against what the command line says of them.
bool PlanTargets(TlvadmArgs& args, TargetPlan& plan, std::string& error) {
    if (!ResolveTargets(args.target, args.bAll, EntryNames(args), plan, error))
        return false;
    const bool bAnyAddress = std::any_of(plan.targets.begin(), plan.targets.end(),
                                         [](const Target& t) { return t.bAddress; });
    if (!args.keyFile.empty() && !bAnyAddress) {
        error = "--key is for a tcp:HOST:PORT server; an entry's key is its key file";
        return false;
    }
    if (const char* key = getenv("TLV_KEY"); args.keyFile.empty() && key != nullptr)
        args.keyFile = key;
    if (bAnyAddress && args.keyFile.empty()) {
        error = "a tcp:HOST:PORT server needs its admin key: --key FILE or TLV_KEY=FILE";
        return false;
    }
    if (plan.bMany && args.command == "watch") {
        error = "watch shows one server";
        return false;
    }
    // Every server would write the same new file: all but one would fail.
    if (plan.bMany && args.command == "export") {
        error = "export writes one file: name one server";
        return false;
    }
    if (args.bTimeoutGiven && !args.bWait && args.command == "watch") {
        error = "--timeout cannot be used with watch";
        return false;
    }
    return true;
}

FleetPrinter::Form FormOf(const TargetPlan& plan, const TlvadmArgs& args) {
    if (!plan.bMany)
        return FleetPrinter::Form::Plain;
    return args.bJson ? FleetPrinter::Form::Json : FleetPrinter::Form::Lines;
}

// Every target on threads of their own; one target with a deadline too, so that it can be
// given up on.
int RunTargets(const TargetPlan& plan, const TlvadmArgs& args, std::ostream& out,
               std::ostream& err) {
    FleetOptions options;
    options.jobs = args.jobs;
    if (args.bTimeoutGiven && !args.bWait)
        options.deadline = std::chrono::seconds(args.timeoutSeconds);
    FleetPrinter printer(FormOf(plan, args), out, err, args.timeoutSeconds);
    RunFleet(
        plan.targets, options,
        [&](const Target& target, std::ostream& targetOut, std::ostream& targetErr,
            const std::shared_ptr<SessionAbortLine>& line) {
            return RunOnTarget(target, args, targetOut, targetErr, line, plan.bMany);
        },
        [&](const Target& target, const TargetResult& result) { printer.Print(target, result); });
    return printer.Finish();
}

}  // namespace

int RunTlvadm(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    TlvadmArgs args;
    std::string error;
    if (!ParseTlvadmArgs(argc, argv, args, error)) {
        err << UsageErrorLine("tlvadm", error);
        return kExitUsage;
    }
    if (args.bHelp) {
        out << TlvadmUsage();
        return kExitOk;
    }
    if (args.bVersion) {
        out << VersionLine("tlvadm");
        return kExitOk;
    }
    if (!args.registry.empty())
        setenv("TLV_REGISTRY", args.registry.c_str(), 1);
    // tlvadm only reads the registry: one that is not there is reported, never created.
    if (std::string message; RegUseExistingRegistryFile(args.registry, &message) != ERROR_SUCCESS) {
        ExplainRegistryFailure(message, err);
        return kExitUsage;
    }
    TargetPlan plan;
    if (!PlanTargets(args, plan, error)) {
        err << UsageErrorLine("tlvadm", error);
        return kExitUsage;
    }
    if (!ConfirmChange(args, plan.targets, isatty(STDIN_FILENO) != 0, err))
        return kExitUsage;

    StreamModalSeam seam(err);
    S100Library library;
    if (!library.IsStarted()) {
        err << "tlvadm: the S.100 library did not start\n";
        return kExitUsage;
    }
    // One server without a deadline runs here, its output straight through (watch draws).
    if (!plan.bMany && !(args.bTimeoutGiven && !args.bWait))
        return RunOnTarget(plan.targets.front(), args, out, err, nullptr, false);
    return RunTargets(plan, args, out, err);
}
