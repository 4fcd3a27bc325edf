#include "tools/tlvadm/registryhint.h"

#include "config/regfailure.h"

void ExplainRegistryFailure(const std::string& message, std::ostream& err) {
    const RegistryFiles files = RegQueryFiles();
    if (files.userExists || files.machineRead) {
        err << "tlvadm: " << message << '\n';
        return;
    }
    for (const std::string& line : NoRegistrySettingsLines())
        err << "tlvadm: " << line << '\n';
}
