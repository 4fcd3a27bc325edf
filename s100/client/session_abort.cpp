// TLVses_Reserve, TLVses_Open and TLVses_Abort: sessions whose waiting another thread can end.
#include <memory>
#include <string>

#include "s100/client/admin_session.h"
#include "s100/client/call_record.h"
#include "s100/client/session_table.h"
#include "s100/sesabort.h"

using tlv::client::finishCall;
using tlv::client::SessionTable;

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

// The key file the options name, when they name one: the server name is then an address.
CTerror keyFileOf(CTkvs options, std::string& keyFile) {
    const char* text = nullptr;
    CTerror error = CTerr_NoError;
    if (CTkvs_GetString(options, KEY_AdminKeyFile, &text, &error) == CT_SUCCESS) {
        keyFile = text;
        return CTerr_NoError;
    }
    return error == CTerr_NotFound ? CTerr_NoError : CTerr_InvalidArgument;
}

CTstatus finishWord(CTerror* word, CTerror error) {
    if (word != nullptr) {
        *word = error;
    }
    return error == CTerr_NoError ? CT_SUCCESS : CT_FAILURE;
}

}  // namespace

extern "C" {

CTstatus TLVses_Reserve(CTsession* session, CTerror* error) {
    if (session == nullptr) {
        return finishWord(error, CTerr_InvalidArgument);
    }
    // The deadline is read when the session is made and holds for its whole life.
    *session = SessionTable::instance().add(
        std::make_shared<tlv::client::AdminSession>(tlv::wire::callTimeoutFromEnvironment()));
    return finishWord(error, CTerr_NoError);
}

CTstatus TLVses_Open(CTsession session, CTkvs options, CTevtinfo* record) {
    const std::shared_ptr<tlv::client::AdminSession> reserved =
        SessionTable::instance().find(session);
    if (reserved == nullptr) {
        return finishCall(record, CTerr_InvalidHandle);
    }
    std::string entryName;
    std::string keyFile;
    CTerror error = entryNameOf(options, entryName);
    if (error == CTerr_NoError) {
        error = keyFileOf(options, keyFile);
    }
    if (error == CTerr_NoError) {
        error =
            keyFile.empty() ? reserved->open(entryName) : reserved->openAddress(entryName, keyFile);
    }
    if (error != CTerr_NoError) {
        SessionTable::instance().remove(session);
    }
    return finishCall(record, error);
}

CTstatus TLVses_Abort(CTsession session, CTerror* error) {
    const std::shared_ptr<tlv::client::AdminSession> found = SessionTable::instance().find(session);
    if (found == nullptr) {
        return finishWord(error, CTerr_InvalidHandle);
    }
    found->abort();
    return finishWord(error, CTerr_NoError);
}

}  // extern "C"
