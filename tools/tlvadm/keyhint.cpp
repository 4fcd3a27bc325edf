#include "tools/tlvadm/keyhint.h"

#include "s100/client/entry_key.h"
#include "s100/client/server_table.h"

void ExplainConnectFailure(const std::string& entry, std::ostream& err) {
    std::string connectString;
    if (tlv::client::lookUpServerEntry(entry, connectString) != CTerr_NoError) {
        err << "tlvadm: there is no server entry \"" << entry
            << "\" in the administration server table\n";
        return;
    }
    std::string key;
    std::string problem;
    if (tlv::client::loadEntryKey(entry, key, problem) != CTerr_NoError) {
        err << "tlvadm: no admin key: " << problem << '\n';
        return;
    }
    err << "tlvadm: could not connect to the server entry \"" << entry << "\" at "
        << connectString << '\n';
}
