#include "tools/tlvadm/confirm.h"

#include <algorithm>
#include <iterator>

#include "platform/text/shownbytes.h"

namespace {

constexpr const char* kChangingCommands[] = {
    "set-level", "start", "stop", "add-service", "remove-service", "remove-profile", "import"};

}  // namespace

bool ChangesServer(const std::string& command) {
    return std::find(std::begin(kChangingCommands), std::end(kChangingCommands), command) !=
           std::end(kChangingCommands);
}

std::string PlannedChange(const TlvadmArgs& args, const std::vector<Target>& targets) {
    std::string plan = args.command;
    if (args.bEmergency)
        plan += " --emergency";
    for (const std::string& operand : args.operands)
        plan += " " + tlv::platform::ShownBytes(operand);
    plan += " on ";
    for (std::size_t i = 0; i < targets.size(); ++i)
        plan += (i == 0 ? "" : ", ") + tlv::platform::ShownBytes(targets[i].name);
    return plan;
}

bool ConfirmChange(const TlvadmArgs& args, const std::vector<Target>& targets, bool bTerminal,
                   std::ostream& err) {
    if (!ChangesServer(args.command) || targets.size() < 2)
        return true;
    err << "tlvadm: " << PlannedChange(args, targets) << '\n';
    if (bTerminal && !args.bYes) {
        err << "tlvadm: this changes " << targets.size()
            << " servers; run it again with --yes to go ahead\n";
        return false;
    }
    return true;
}
