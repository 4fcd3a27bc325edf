// CTses_Create and CTses_Destroy: sessions to administration server entries.
#include "s100/client/call_record.h"
#include "s100/client/session_table.h"
#include "s100/s100.h"
#include "s100/sesabort.h"

using tlv::client::finishCall;

extern "C" {

CTstatus CTses_Create(CTsession* session, const char* /*reserved_text*/,
                      uint32_t /*reserved_flags*/, CTkvs options, CTevtinfo* record,
                      void* /*reserved*/) {
    if (session == nullptr) {
        return finishCall(record, CTerr_InvalidArgument);
    }
    CTsession reserved = 0;
    TLVses_Reserve(&reserved, nullptr);
    if (TLVses_Open(reserved, options, record) != CT_SUCCESS) {
        *session = 0;
        return CT_FAILURE;
    }
    *session = reserved;
    return CT_SUCCESS;
}

CTstatus CTses_Destroy(CTsession session, CTkvs /*empty*/, CTevtinfo* record, void* /*reserved*/) {
    // The connection closes when the last user of the session lets go of it.
    const bool known = tlv::client::SessionTable::instance().remove(session) != nullptr;
    return finishCall(record, known ? CTerr_NoError : CTerr_InvalidHandle);
}

}  // extern "C"
