#include "tools/tlvadm/args.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <string_view>

#include "platform/version/commandline.h"

namespace {

constexpr std::size_t kAny = static_cast<std::size_t>(-1);

// Which of the options that belong to some commands a command takes.
enum CommandOption : unsigned {
    kNoOption = 0,
    kEmergency = 1,
    kWait = 2,
    kFailOn = 4,
    kTimeout = 8,  // seen only: --timeout was given
};

struct CommandShape {
    const char* name;
    std::size_t minOperands;
    std::size_t maxOperands;  // kAny: no upper bound
    unsigned options;
};

constexpr CommandShape kCommands[] = {
    {"profiles", 0, 0, kNoOption},
    {"services", 0, 0, kNoOption},
    {"providers", 0, 0, kNoOption},
    {"level", 0, 0, kNoOption},
    {"set-level", 1, 1, kEmergency | kWait},
    {"start", 1, kAny, kWait},
    {"stop", 1, kAny, kEmergency | kWait},
    {"status", 1, kAny, kNoOption},
    {"watch", 0, 1, kNoOption},
    {"add-service", 2, 2, kNoOption},
    {"remove-service", 1, 1, kNoOption},
    {"remove-profile", 2, 2, kNoOption},
    {"show-profile", 2, 2, kNoOption},
    {"import", 3, 3, kNoOption},
    {"export", 3, 3, kNoOption},
    {"check", 0, 0, kFailOn},
};

constexpr int kMaxTimeoutSeconds = 24 * 60 * 60;

const CommandShape* FindCommand(const std::string& name) {
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [&](const CommandShape& shape) { return name == shape.name; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

bool ParseFailOn(const std::string& text, FailOn& failOn) {
    static constexpr std::pair<std::string_view, FailOn> kLevels[] = {{"info", FailOn::Info},
                                                                      {"warning", FailOn::Warning},
                                                                      {"error", FailOn::Error},
                                                                      {"fatal", FailOn::Fatal}};
    for (const auto& [name, level] : kLevels) {
        if (text == name) {
            failOn = level;
            return true;
        }
    }
    return false;
}

bool ParseNumber(const std::string& text, int highest, int& number) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > highest)
        return false;
    number = value;
    return true;
}

// The options, wherever they stand; the other words in order.
class OptionReader final {
public:
    OptionReader(TlvadmArgs& args, std::string& error, unsigned& seen)
        : m_args(args), m_error(error), m_seen(seen) {}

    // False with a message for an unknown option or one without its value.
    bool Read(int argc, const char* const* argv, std::vector<std::string>& words) {
        bool bOptionsEnded = false;
        for (int i = 1; i < argc; ++i) {
            const std::string word = argv[i];
            if (bOptionsEnded || word.size() < 2 || word[0] != '-') {
                words.push_back(word);
            } else if (word == "--") {
                bOptionsEnded = true;
            } else if (!Apply(word, i, argc, argv)) {
                return false;
            }
        }
        return true;
    }

private:
    bool Value(const std::string& option, int& i, int argc, const char* const* argv,
               std::string& value) {
        if (i + 1 >= argc) {
            m_error = option + " needs a value";
            return false;
        }
        value = argv[++i];
        return true;
    }

    // An option that only turns a setting on; false for any other.
    bool Switch(const std::string& option) {
        struct SwitchOption {
            std::string_view name;
            bool TlvadmArgs::*setting;
            unsigned seen;  // what the command's shape checks, or 0
        };
        static constexpr SwitchOption kSwitches[] = {
            {"--help", &TlvadmArgs::bHelp, 0},
            {"-h", &TlvadmArgs::bHelp, 0},
            {"--version", &TlvadmArgs::bVersion, 0},
            {"--json", &TlvadmArgs::bJson, 0},
            {"--emergency", &TlvadmArgs::bEmergency, kEmergency},
            {"--wait", &TlvadmArgs::bWait, kWait},
            {"--all", &TlvadmArgs::bAll, 0},
            {"--yes", &TlvadmArgs::bYes, 0}};
        for (const SwitchOption& known : kSwitches) {
            if (option == known.name) {
                m_args.*known.setting = true;
                m_seen |= known.seen;
                return true;
            }
        }
        return false;
    }

    bool Apply(const std::string& option, int& i, int argc, const char* const* argv) {
        std::string value;
        if (Switch(option)) {
            return true;
        } else if (option == "--registry") {
            return Value(option, i, argc, argv, m_args.registry);
        } else if (option == "--key") {
            return Value(option, i, argc, argv, m_args.keyFile);
        } else if (option == "--jobs") {
            if (!Value(option, i, argc, argv, value))
                return false;
            if (!ParseNumber(value, kMaxJobs, m_args.jobs))
                return Fail("--jobs expects a number from 1 to " + std::to_string(kMaxJobs) +
                            ", not \"" + value + "\"");
        } else if (option == "--timeout") {
            m_seen |= kTimeout;
            m_args.bTimeoutGiven = true;
            if (!Value(option, i, argc, argv, value))
                return false;
            if (!ParseNumber(value, kMaxTimeoutSeconds, m_args.timeoutSeconds))
                return Fail("--timeout expects seconds from 1 to 86400, not \"" + value + "\"");
        } else if (option == "--fail-on") {
            m_seen |= kFailOn;
            if (!Value(option, i, argc, argv, value))
                return false;
            if (!ParseFailOn(value, m_args.failOn))
                return Fail("--fail-on expects fatal, error, warning or info, not \"" + value +
                            "\"");
        } else {
            return Fail(UnknownOptionProblem(option));
        }
        return true;
    }

    bool Fail(const std::string& message) {
        m_error = message;
        return false;
    }

    TlvadmArgs& m_args;
    std::string& m_error;
    unsigned& m_seen;
};

bool CheckShape(const CommandShape& shape, const TlvadmArgs& args, unsigned seen,
                std::string& error) {
    const std::size_t count = args.operands.size();
    if (count < shape.minOperands || (shape.maxOperands != kAny && count > shape.maxOperands)) {
        error = std::string("wrong number of arguments for ") + shape.name;
        return false;
    }
    const unsigned foreign = seen & ~shape.options & ~kTimeout;
    if (foreign != 0) {
        const char* option = (foreign & kEmergency) ? "--emergency"
                             : (foreign & kWait)    ? "--wait"
                                                    : "--fail-on";
        error = std::string(option) + " cannot be used with " + shape.name;
        return false;
    }
    return true;
}

}  // namespace

bool ParseTlvadmArgs(int argc, const char* const* argv, TlvadmArgs& args, std::string& error) {
    unsigned seen = kNoOption;
    std::vector<std::string> words;
    if (!OptionReader(args, error, seen).Read(argc, argv, words))
        return false;
    if (args.bHelp || args.bVersion)
        return true;
    // With --all there is no target word: the command comes first.
    const std::size_t commandAt = args.bAll ? 0 : 1;
    if (words.size() < commandAt + 1) {
        error = args.bAll ? "a command is needed" : "an entry and a command are needed";
        return false;
    }
    if (!args.bAll)
        args.target = words[0];
    args.command = words[commandAt];
    const CommandShape* shape = FindCommand(args.command);
    if (shape == nullptr) {
        error = "unknown command " + args.command;
        return false;
    }
    args.operands.assign(words.begin() + static_cast<std::ptrdiff_t>(commandAt) + 1, words.end());
    return CheckShape(*shape, args, seen, error);
}

const char* TlvadmUsage() {
    return "usage: tlvadm [--registry FILE] [--json] TARGET COMMAND ...\n"
           "       tlvadm [--registry FILE] [--json] --all COMMAND ...\n"
           "  TARGET: a server entry name of the administration server table,\n"
           "          tcp:HOST:PORT with --key FILE (or TLV_KEY=FILE),\n"
           "          or many servers: a pattern ('Site*', any letter case) or a comma list\n"
           "  Many servers (--all, a pattern, a list) run at once, --jobs N (default 16) at a\n"
           "  time; each line, or JSON row, is prefixed by its server, in the table's order;\n"
           "  the exit status is the worst of theirs. A change to more than one server asks\n"
           "  for --yes at a terminal. --timeout S: a server that has not answered within S\n"
           "  seconds is reported not responding (with --wait: bounds the wait).\n"
           "  COMMAND:\n"
           "    profiles | services | providers | level\n"
           "    set-level N [--emergency] [--wait [--timeout S]]   N: 1..5\n"
           "    start NAME... [--wait [--timeout S]]\n"
           "    stop [--emergency] NAME... [--wait [--timeout S]]\n"
           "    status NAME...                    why each service is where it is\n"
           "    watch [profiles|services|providers|level]   redraws every 2 s until Ctrl+C\n"
           "    add-service NAME FILE             FILE: a service definition as a KV set text\n"
           "    remove-service NAME | remove-profile NAME CLASS | show-profile NAME CLASS\n"
           "    import FILE NAME CLASS | export NAME CLASS FILE\n"
           "    check [--fail-on fatal|error|warning|info]   findings in run order\n"
           "  Options may stand anywhere; \"--\" ends them. --help, --version.\n"
           "  --wait: return when the target state is reached (0) or failed (1);\n"
           "          --timeout S (default 30) bounds the wait.\n"
           "  exit status: 0 done, 1 the server refused or the target state failed,\n"
           "               2 usage or connection error;\n"
           "               check: 0 no finding at or above --fail-on (default error),\n"
           "               3 some, 1 the run failed, 2 usage or connection\n";
}
