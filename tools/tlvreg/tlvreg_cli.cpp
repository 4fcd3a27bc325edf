#include "tools/tlvreg/tlvreg_cli.h"

#include <string>
#include <vector>

#include "platform/registry/regapi.h"
#include "platform/version/commandline.h"
#include "platform/version/projectversion.h"
#include "tools/tlvreg/commands.h"
#include "tools/tlvreg/keypath.h"

namespace {

constexpr const char* kUsage =
    "usage: tlvreg [--registry FILE] COMMAND ... | --help | --version\n"
    "  query KEY [NAME]            show a key, or one value of it\n"
    "  add KEY [NAME TYPE DATA]    create a key, or write a value (creating its key)\n"
    "  delete KEY [NAME]           delete a key without sub-keys, or one value\n"
    "  export FILE [KEY]           write a key and all below it (default: everything)\n"
    "  import FILE                 read a file written by export, all or nothing\n"
    "\n"
    "KEY   [HKLM\\|HKEY_LOCAL_MACHINE\\]SOFTWARE\\..., in any letter case\n"
    "NAME  a value name; \"\" is the unnamed value\n"
    "TYPE  REG_SZ | REG_DWORD (DATA decimal or 0x hex)\n"
    "FILE  REGEDIT4 text: [HKEY_LOCAL_MACHINE\\...] key lines, then \"name\"=\"text\",\n"
    "      \"name\"=dword:0000000a, @= for the unnamed value, hex(N):aa,bb for other types\n"
    "\n"
    "query prints each sub-key as NAME\\ on a line, then each value as NAME<TAB>TYPE<TAB>DATA;\n"
    "the unnamed value shows as (Default), a REG_DWORD in decimal, binary data as hex bytes.\n"
    "The registry file is --registry FILE, else $TLV_REGISTRY, else\n"
    "$XDG_CONFIG_HOME/kestrova/registry.db, else ~/.config/kestrova/registry.db. It reads\n"
    "through to the machine's registry ($TLV_MACHINE_REGISTRY, else /etc/kestrova/registry.db)\n"
    "for what it does not hold; writes go to the file alone, and deleting what the machine's\n"
    "holds hides it for this file only. query and export create no file.\n"
    "Exit status: 0 done, 1 the registry refused (not found, key has sub-keys, ...),\n"
    "2 bad usage, a malformed import file, or a file or registry that cannot be opened.\n";

int UsageError(std::ostream& err, const std::string& what) {
    err << UsageErrorLine("tlvreg", what);
    return kExitUsage;
}

bool IsOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

bool IsHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

// The command with its arguments after the options.
struct Invocation {
    std::string command;
    std::vector<std::string> args;
};

bool HasValidArguments(const Invocation& call) {
    const std::size_t n = call.args.size();
    if (call.command == "query" || call.command == "delete" || call.command == "export") {
        return n == 1 || n == 2;
    }
    if (call.command == "add") {
        return n == 1 || n == 4;
    }
    return call.command == "import" && n == 1;
}

// The KEY argument's position: first, but second for export (import has none).
const std::string* KeyArgument(const Invocation& call) {
    const std::size_t index = call.command == "export" ? 1 : 0;
    if (call.command == "import" || index >= call.args.size()) {
        return nullptr;
    }
    return &call.args[index];
}

int Run(const Invocation& call, const std::string& path, CommandStreams streams) {
    const std::vector<std::string>& a = call.args;
    const bool single = a.size() == 1;
    if (call.command == "query") {
        return single ? QueryKey(path, streams) : QueryValue(path, a[1], streams);
    }
    if (call.command == "add") {
        return single ? AddKey(path, streams) : AddValue(path, a[1], a[2], a[3], streams);
    }
    if (call.command == "delete") {
        return single ? DeleteKey(path, streams) : DeleteValue(path, a[1], streams);
    }
    if (call.command == "export") {
        return ExportKey(a[0], path, streams);
    }
    return ImportFile(a[0], streams);
}

}  // namespace

int RunTlvreg(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string registry;
    std::size_t next = 0;
    if (next < args.size() && args[next] == "--registry") {
        if (next + 1 >= args.size() || args[next + 1].empty()) {
            return UsageError(err, "--registry needs a FILE");
        }
        registry = args[next + 1];
        next += 2;
    }
    if (next >= args.size()) {
        return UsageError(err, "no command given");
    }
    if (IsHelp(args[next])) {
        out << kUsage;
        return kExitSuccess;
    }
    if (args[next] == "--version") {
        out << VersionLine("tlvreg");
        return kExitSuccess;
    }
    // Options stand before the command; what follows it is its arguments, dashes and all.
    if (IsOption(args[next])) {
        return UsageError(err, UnknownOptionProblem(args[next]));
    }
    const Invocation call{args[next], {args.begin() + static_cast<long>(next) + 1, args.end()}};
    if (!HasValidArguments(call)) {
        return UsageError(err, "unknown command or wrong number of arguments: " + call.command);
    }
    std::string path;
    if (const std::string* key = KeyArgument(call);
        key != nullptr && !ParseKeyArgument(*key, path)) {
        return UsageError(err, "only keys below HKEY_LOCAL_MACHINE can be used: " + *key);
    }
    std::string message;
    // Reading must not leave a registry behind where there was none.
    const bool bReadOnly = call.command == "query" || call.command == "export";
    const LONG rc = bReadOnly ? RegUseExistingRegistryFile(registry, &message)
                              : RegUseRegistryFile(registry, &message);
    if (rc == ERROR_FILE_NOT_FOUND && bReadOnly) {
        err << "tlvreg: " << message << '\n';
        return kExitUsage;
    }
    if (rc != ERROR_SUCCESS) {
        err << "tlvreg: cannot open the registry: " << message << '\n';
        return kExitUsage;
    }
    return Run(call, path, {out, err});
}
