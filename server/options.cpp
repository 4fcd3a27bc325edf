#include "server/options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/version/commandline.h"

namespace tlv::server {
namespace {

bool parseListen(const std::string& text, ServerOptions& options, std::string& error) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        error = "--listen expects HOST:PORT, got \"" + text + "\"";
        return false;
    }
    std::string host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    const std::string portText = text.substr(colon + 1);
    char* end = nullptr;
    errno = 0;
    const unsigned long port = std::strtoul(portText.c_str(), &end, 10);
    if (portText.empty() || portText[0] == '-' || errno != 0 || *end != '\0' || port > 65535) {
        error = "bad port in --listen \"" + text + "\"";
        return false;
    }
    options.host = host;
    options.port = static_cast<std::uint16_t>(port);
    return true;
}

bool parseProvider(const std::string& text, ServerOptions& options, std::string& error) {
    const std::size_t equals = text.rfind('=');
    const std::string name = equals == std::string::npos ? std::string{} : text.substr(0, equals);
    const std::string state = equals == std::string::npos ? std::string{} : text.substr(equals + 1);
    if (name.empty() || (state != "available" && state != "unavailable")) {
        error = "--provider expects NAME=available|unavailable, got \"" + text + "\"";
        return false;
    }
    options.providers.push_back({name, state == "available"});
    options.providersGiven = true;
    return true;
}

bool parseSeed(const std::string& text, ServerOptions& options, std::string& error) {
    if (text == "demo") {
        options.seed = Seed::Demo;
    } else if (text == "empty") {
        options.seed = Seed::Empty;
    } else {
        error = "--seed expects demo or empty, got \"" + text + "\"";
        return false;
    }
    return true;
}

// The options that take a value; anything else that looks like an option is unknown.
constexpr const char* kValueOptions[] = {"--listen", "--seed", "--provider", "--fail", "--delay",
                                         "--data",   "--name", "--pid-file", "--key"};

bool isValueOption(const std::string& option) {
    return std::any_of(std::begin(kValueOptions), std::end(kValueOptions),
                       [&](const char* known) { return option == known; });
}

bool applyOption(const std::string& option, const std::string& value, ServerOptions& options,
                 std::string& error) {
    if (option == "--listen")
        return parseListen(value, options, error);
    if (option == "--seed")
        return parseSeed(value, options, error);
    if (option == "--provider")
        return parseProvider(value, options, error);
    if (option == "--fail")
        return options.faults.addFailure(value, error);
    if (option == "--delay")
        return options.faults.addDelay(value, error);
    if (option == "--data") {
        options.dataDir = value;
        return !value.empty() || (error = "--data expects a directory", false);
    }
    if (option == "--pid-file") {
        options.pidFile = value;
        return !value.empty() || (error = "--pid-file expects a file", false);
    }
    if (option == "--key") {
        options.keyFile = value;
        return !value.empty() || (error = "--key expects a file", false);
    }
    if (option == "--name") {
        options.name = value;
        return true;
    }
    error = UnknownOptionProblem(option);
    return false;
}

}  // namespace

bool parseOptions(int argc, const char* const* argv, ServerOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            return true;
        }
        if (option == "--version") {
            options.version = true;
            return true;
        }
        if (option == "--no-cgroup") {
            options.useCgroups = false;
            continue;
        }
        if (option.rfind('-', 0) != 0) {
            error = "unexpected argument " + option;
            return false;
        }
        if (!isValueOption(option)) {
            error = UnknownOptionProblem(option);
            return false;
        }
        if (i + 1 >= argc) {
            error = option + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (!applyOption(option, value, options, error)) {
            return false;
        }
    }
    if (options.dataDir.empty() && options.keyFile.empty()) {
        error = "without --data there is no admin key: name one with --key FILE";
        return false;
    }
    return true;
}

const char* usageText() {
    return "usage: tlvsd [--listen HOST:PORT] [--data DIR] [--key FILE] [--seed demo|empty]\n"
           "             [--provider NAME=available|unavailable]... [--name NAME]\n"
           "             [--fail CALL=CODE[xN]]... [--delay CALL=MS]... [--pid-file FILE]\n"
           "             [--no-cgroup]\n"
           "  --listen    address to listen on (default 127.0.0.1:2020; port 0 picks one)\n"
           "  --data      directory of the store (tlvsd.db) and the services' log;\n"
           "              without it everything is kept in memory\n"
           "  --key       the admin key file clients must prove they hold (default\n"
           "              DATA/admin.key, created at the first start; needed without --data)\n"
           "  --seed      demo: load the demo data set into an empty store (default empty)\n"
           "  --provider  a service provider of this server, in the order given; without any,\n"
           "              the demo seed brings its own and the empty seed has none\n"
           "  --fail      answer the next N calls of CALL (every call without N) with CODE\n"
           "  --delay     hold back the answers of CALL by MS milliseconds\n"
           "  --pid-file  once listening, write the process id into FILE; removed on exit\n"
           "  --no-cgroup keep services in their process groups and sessions only, never in\n"
           "              cgroups of their own\n"
           "CALL: GetProfileInfo GetServiceState GetSPInfo GetServerLevel SetTargetServerLevel\n"
           "      AddProfile UpdateProfile RemoveProfile AddService UpdateService\n"
           "      RemoveService StartService StopService\n";
}

}  // namespace tlv::server
