#include "platform/scm/account.h"

#include "platform/registry/regname.h"
#include "platform/scm/scmapi.h"

namespace tlv::platform {
namespace {

bool IsLocalSystem(const std::string& account) {
    return FoldRegName(account) == FoldRegName(kLocalSystemAccount);
}

}  // namespace

std::string AccountUserName(const std::string& account) {
    const std::size_t backslash = account.rfind('\\');
    return backslash == std::string::npos ? account : account.substr(backslash + 1);
}

bool IsKnownAccount(const std::string& account) {
    UserIdentity ignored;
    return AccountIdentity(account, ignored);
}

bool AccountIdentity(const std::string& account, UserIdentity& user) {
    return LookUpUser(IsLocalSystem(account) ? "root" : AccountUserName(account), user);
}

}  // namespace tlv::platform
