#pragma once
// Service accounts on this machine: "DOMAIN\user", ".\user" and "user" all name the local user
// "user" of the platform's user database; "LocalSystem" is the system's own account, root.

#include <string>

#include "platform/process/spawnas.h"

namespace tlv::platform {

// The user name an account names (the part after its last backslash).
std::string AccountUserName(const std::string& account);

// Whether the account is the local system account or names an existing local user.
bool IsKnownAccount(const std::string& account);

// The user the account names; false when there is none.
bool AccountIdentity(const std::string& account, UserIdentity& user);

}  // namespace tlv::platform
