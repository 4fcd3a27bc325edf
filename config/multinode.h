#pragma once
// Turning the locally installed server into a server node of a multinode system, without
// widgets: the proposals and checks of the configuration dialog, the server's state, and the
// registry values written once the service account has been changed.

#include <optional>
#include <string>
#include <string_view>

#include "config/scm.h"

inline constexpr const char* kServerServiceName = "TLVS Server";
inline constexpr const char* kResourceNodeKey = "SOFTWARE\\Kestrova\\TLVS Server\\ResourceNode";
inline constexpr const char* kServerEnvironmentKey = "SOFTWARE\\Kestrova\\TLVS Server\\Environment";
inline constexpr const char* kServerSmpKey = "SOFTWARE\\Kestrova\\TLVS Server\\SMP";

// "USERDOMAIN" read into 40 bytes (empty when unset or 40 characters or longer), then
// "\Telvane".
std::string ProposedServiceAccount();

// Without trailing blanks, tabs and line breaks.
std::string TrimTrailingWhiteSpace(std::string_view text);

// The resource computer of a container path: after two leading backslashes (and any further
// ones), the characters up to the next backslash. Empty optional when the path does not start
// with two backslashes or names no computer.
std::optional<std::string> ResourceComputerName(std::string_view containerPath);

// Whether the manager reports the server's service as completely stopped; a service that is
// not installed or cannot be asked is not.
bool IsServerStopped(SCMclass& manager);

// The message for an account change that failed with the error.
unsigned ChangeServiceFailureMessage(SCM_Error error);

// The "RemoteCP" value naming this computer.
std::string RemoteCPText(const std::string& computerName);

struct MultinodeWrite {
    bool succeeded = false;             // what the operator is told
    bool containerPathWritten = false;  // the application's multinode flag follows this
};

// Writes "1" under ResourceNode (the key created when missing), "ContainerPath" under
// Environment and "RemoteCP" under SMP, the last two only when their keys exist. Success needs
// the first write, and the third when SMP exists; the second never decides it.
MultinodeWrite WriteMultinodeSettings(const std::string& resourceComputer,
                                      const std::string& containerPath);
