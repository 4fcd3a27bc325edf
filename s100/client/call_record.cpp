#include "s100/client/call_record.h"

namespace tlv::client {

CTstatus finishCall(CTevtinfo* record, CTerror error) {
    if (record != nullptr) {
        record->error = error;
    }
    return error == CTerr_NoError ? CT_SUCCESS : CT_FAILURE;
}

}  // namespace tlv::client
