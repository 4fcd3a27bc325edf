// CTses_Create and CTses_Destroy: sessions to administration server entries.
#include <memory>
#include <string>

#include "s100/client/admin_session.h"
#include "s100/client/call_record.h"
#include "s100/client/session_table.h"
#include "s100/s100.h"

using tlv::client::finishCall;

namespace {

// The server entry name carried by the options set.
CTerror entryNameOf(CTkvs options, std::string& entryName) {
    const char* text = nullptr;
    CTerror error = CTerr_NoError;
    if (CTkvs_GetString(options, KEY_ServerName, &text, &error) != CT_SUCCESS) {
        return error == CTerr_InvalidHandle ? CTerr_InvalidHandle : CTerr_InvalidArgument;
    }
    entryName = text;
    return CTerr_NoError;
}

}  // namespace

extern "C" {

CTstatus CTses_Create(CTsession* session, const char* /*reserved_text*/,
                      uint32_t /*reserved_flags*/, CTkvs options, CTevtinfo* record,
                      void* /*reserved*/) {
    if (session == nullptr) {
        return finishCall(record, CTerr_InvalidArgument);
    }
    *session = 0;
    std::string entryName;
    if (const CTerror error = entryNameOf(options, entryName); error != CTerr_NoError) {
        return finishCall(record, error);
    }
    // The deadline is read when the session opens and holds for its whole life.
    auto opened =
        std::make_shared<tlv::client::AdminSession>(tlv::wire::callTimeoutFromEnvironment());
    if (const CTerror error = opened->open(entryName); error != CTerr_NoError) {
        return finishCall(record, error);
    }
    *session = tlv::client::SessionTable::instance().add(std::move(opened));
    return finishCall(record, CTerr_NoError);
}

CTstatus CTses_Destroy(CTsession session, CTkvs /*empty*/, CTevtinfo* record, void* /*reserved*/) {
    // The connection closes when the last user of the session lets go of it.
    const bool known = tlv::client::SessionTable::instance().remove(session) != nullptr;
    return finishCall(record, known ? CTerr_NoError : CTerr_InvalidHandle);
}

}  // extern "C"
