#include "tools/tlvadm/keyhint.h"

#include "s100/client/entry_key.h"
#include "s100/client/server_table.h"

void ExplainMissingKey(const std::string& entryName, std::ostream& err) {
    std::string connectString;
    if (tlv::client::lookUpServerEntry(entryName, connectString) != CTerr_NoError)
        return;  // the entry itself is missing: the connect message said all there is
    std::string key;
    std::string problem;
    if (tlv::client::loadEntryKey(entryName, key, problem) != CTerr_NoError)
        err << "tlvadm: no admin key: " << problem << '\n';
}
