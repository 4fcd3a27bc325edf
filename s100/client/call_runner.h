#pragma once
// One administrative request over the session behind a handle, and what its answer means.

#include <span>

#include "s100/kvs/value.h"
#include "s100/proto/admin.pb.h"
#include "s100/s100.h"

namespace tlv::client {

struct Answer {
    CTerror error = CTerr_NoError;  // the call's outcome as the server gave it
    tlv::wire::Response response;
    s100::KVSet result;  // the answer's result set, checked
};

// Sends request and reads the answer. CTerr_InvalidHandle for an unknown session; the session's
// CTerr_ConnectionLost when no answer came or the answer cannot be read (no outcome, or a result
// set that no call could have built: the session is then lost for good). Otherwise
// CTerr_NoError, with the call's own outcome in answer.error.
CTerror runRequest(CTsession session, tlv::wire::Request& request, Answer& answer);

// A list query: runs request and puts the result keys into the record's set. When the server
// found nothing, empty arrays stand under each of resultKeys, so a caller can still read them.
CTerror runQuery(CTsession session, tlv::wire::Request& request, CTevtinfo* record,
                 std::span<const CTsymbol> resultKeys);

// A list query whose answer is handed to handler part by part (CTadm_GetProfileInfoInParts):
// CTerr_HandlerFailed or CTerr_NoMemory when handing a part failed (the rest of the answer is
// read and dropped), else the outcome as runQuery gives it, without the record's set.
CTerror runQueryInParts(CTsession session, tlv::wire::Request& request,
                        CTprofilePartHandler handler, void* context);

// A call without results: runs request and gives the call's outcome.
CTerror runCommand(CTsession session, tlv::wire::Request& request);

}  // namespace tlv::client
