#include "tools/tlvadm/args.h"

#include <algorithm>
#include <cstddef>

namespace {

struct CommandShape {
    const char* name;
    std::size_t minOperands;
    std::size_t maxOperands;  // kAny: no upper bound
    bool bTakesEmergency;
};

constexpr std::size_t kAny = static_cast<std::size_t>(-1);

constexpr CommandShape kCommands[] = {
    {"profiles", 0, 0, false},       {"services", 0, 0, false},     {"providers", 0, 0, false},
    {"level", 0, 0, false},          {"set-level", 1, 1, true},     {"start", 1, kAny, false},
    {"stop", 1, kAny, true},         {"add-service", 2, 2, false},  {"remove-service", 1, 1, false},
    {"remove-profile", 2, 2, false}, {"show-profile", 2, 2, false}, {"import", 3, 3, false},
    {"export", 3, 3, false},         {"check", 0, 0, false},
};

const CommandShape* FindCommand(const std::string& name) {
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [&](const CommandShape& shape) { return name == shape.name; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

bool CheckOperands(const CommandShape& shape, const TlvadmArgs& args, std::string& error) {
    const std::size_t count = args.operands.size();
    if (count < shape.minOperands || (shape.maxOperands != kAny && count > shape.maxOperands)) {
        error = std::string("wrong number of arguments for ") + shape.name;
        return false;
    }
    return true;
}

}  // namespace

bool ParseTlvadmArgs(int argc, const char* const* argv, TlvadmArgs& args, std::string& error) {
    int index = 1;
    for (; index < argc; ++index) {
        const std::string option = argv[index];
        if (option == "--help" || option == "-h") {
            args.bHelp = true;
            return true;
        }
        if (option == "--json") {
            args.bJson = true;
        } else if (option == "--registry") {
            if (index + 1 >= argc) {
                error = "--registry needs a file";
                return false;
            }
            args.registry = argv[++index];
        } else if (option.rfind("--", 0) == 0) {
            error = "unknown option " + option;
            return false;
        } else {
            break;
        }
    }
    if (argc - index < 2) {
        error = "an entry and a command are needed";
        return false;
    }
    args.entry = argv[index++];
    args.command = argv[index++];
    const CommandShape* shape = FindCommand(args.command);
    if (shape == nullptr) {
        error = "unknown command " + args.command;
        return false;
    }
    for (; index < argc; ++index) {
        const std::string operand = argv[index];
        if (shape->bTakesEmergency && operand == "--emergency")
            args.bEmergency = true;
        else
            args.operands.push_back(operand);
    }
    return CheckOperands(*shape, args, error);
}

const char* TlvadmUsage() {
    return "usage: tlvadm [--registry FILE] [--json] ENTRY COMMAND ...\n"
           "  ENTRY: a server entry name of the administration server table\n"
           "  COMMAND:\n"
           "    profiles | services | providers | level\n"
           "    set-level N [--emergency]         N: 1..5\n"
           "    start NAME... | stop [--emergency] NAME...\n"
           "    add-service NAME FILE             FILE: a service definition as a KV set text\n"
           "    remove-service NAME | remove-profile NAME CLASS | show-profile NAME CLASS\n"
           "    import FILE NAME CLASS | export NAME CLASS FILE\n"
           "    check                             the profile check's findings, in run order\n"
           "  exit status: 0 done, 1 the server refused (check: the run failed),\n"
           "               2 usage or connection error\n";
}
