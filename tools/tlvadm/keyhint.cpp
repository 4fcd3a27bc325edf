#include "tools/tlvadm/keyhint.h"

#include "s100/client/open_failure.h"

void ExplainConnectFailure(const std::string& entry, std::ostream& err) {
    const std::string words = tlv::client::openFailureOf(entry);
    err << "tlvadm: "
        << (words.empty() ? "could not connect to the server entry \"" + entry + "\"" : words)
        << '\n';
}
