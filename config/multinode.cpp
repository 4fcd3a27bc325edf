#include "config/multinode.h"

#include <array>
#include <memory>

#include "config/registry.h"
#include "platform/machine/machine.h"
#include "resources/stringtable.h"

namespace {

constexpr std::uint32_t kUserDomainSize = 40;
constexpr const char* kAccountBelowDomain = "\\Telvane";
constexpr std::string_view kWhiteSpace = " \t\n\r\v\f";

// Opens or creates the key below HKEY_LOCAL_MACHINE with full access.
std::unique_ptr<NT_RegKey> CreateKey(const char* path) {
    NT_RegKey root(HKEY_LOCAL_MACHINE);
    const HKEY created = root.CreateSubKey(path, KEY_ALL_ACCESS);
    return created == nullptr ? nullptr : std::make_unique<NT_RegKey>(created);
}

bool WriteRemoteCP(NT_RegKey& smp) {
    const std::optional<std::string> computer = tlv::platform::ComputerName();
    return computer && smp.SetValue("RemoteCP", RemoteCPText(*computer).c_str());
}

}  // namespace

std::string ProposedServiceAccount() {
    std::array<char, kUserDomainSize> domain{};
    const std::uint32_t length =
        tlv::platform::GetEnvironmentVariableA("USERDOMAIN", domain.data(), kUserDomainSize);
    const std::string proposal = length < kUserDomainSize ? std::string(domain.data(), length) : "";
    return proposal + kAccountBelowDomain;
}

std::string TrimTrailingWhiteSpace(std::string_view text) {
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return std::string(text.substr(0, last == std::string_view::npos ? 0 : last + 1));
}

std::optional<std::string> ResourceComputerName(std::string_view containerPath) {
    if (!containerPath.starts_with("\\\\"))
        return std::nullopt;
    const std::size_t start = containerPath.find_first_not_of('\\');
    if (start == std::string_view::npos)
        return std::nullopt;
    const std::size_t end = containerPath.find('\\', start);
    return std::string(containerPath.substr(start, end - start));
}

bool IsServerStopped(SCMclass& manager) {
    SCM_State state = SCM_Unknown;
    return manager.QueryStatus(kServerServiceName, state) == SCM_Success && state == SCM_Stopped;
}

unsigned ChangeServiceFailureMessage(SCM_Error error) {
    switch (error) {
        case SCM_Failed:
            return IDS_MULTINODE_ACCESS_DENIED;
        case SCM_NoSuchAccount:
            return IDS_MULTINODE_NO_SUCH_ACCOUNT;
        default:
            return IDS_MULTINODE_FAILED;
    }
}

std::string RemoteCPText(const std::string& computerName) {
    std::string text = StringTable::Text(IDS_MULTINODE_REMOTE_CP);
    if (const std::size_t mark = text.find("%s"); mark != std::string::npos)
        text.replace(mark, 2, computerName);
    return text;
}

MultinodeWrite WriteMultinodeSettings(const std::string& resourceComputer,
                                      const std::string& containerPath) {
    MultinodeWrite result;
    const std::unique_ptr<NT_RegKey> resourceNode = CreateKey(kResourceNodeKey);
    result.succeeded = resourceNode && resourceNode->SetValue("1", resourceComputer.c_str());
    if (!result.succeeded)
        return result;
    NT_RegKey environment(HKEY_LOCAL_MACHINE, kServerEnvironmentKey, KEY_ALL_ACCESS);
    result.containerPathWritten = environment.SetValue("ContainerPath", containerPath.c_str()) != 0;
    NT_RegKey smp(HKEY_LOCAL_MACHINE, kServerSmpKey, KEY_ALL_ACCESS);
    if (smp.IsValid())
        result.succeeded = WriteRemoteCP(smp);
    return result;
}
