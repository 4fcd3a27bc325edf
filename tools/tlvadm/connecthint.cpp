#include "tools/tlvadm/connecthint.h"

#include "session/connectwords.h"

void ExplainConnectFailure(const std::string& target, std::ostream& err) {
    const OpenFailureWords words = DescribeOpenFailure(target);
    err << "tlvadm: "
        << (words.reason.empty() ? "could not connect to \"" + target + "\"" : words.reason)
        << '\n';
}
