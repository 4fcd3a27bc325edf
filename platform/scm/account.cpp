#include "platform/scm/account.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

#include "platform/registry/regname.h"
#include "platform/scm/scmapi.h"

namespace tlv::platform {

std::string AccountUserName(const std::string& account) {
    const std::size_t backslash = account.rfind('\\');
    return backslash == std::string::npos ? account : account.substr(backslash + 1);
}

bool IsKnownAccount(const std::string& account) {
    if (FoldRegName(account) == FoldRegName(kLocalSystemAccount))
        return true;
    const std::string user = AccountUserName(account);
    if (user.empty())
        return false;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    return getpwnam_r(user.c_str(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
           found != nullptr;
}

}  // namespace tlv::platform
