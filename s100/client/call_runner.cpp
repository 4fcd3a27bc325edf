#include "s100/client/call_runner.h"

#include "s100/client/admin_session.h"
#include "s100/client/kvs_exchange.h"
#include "s100/client/session_table.h"
#include "s100/kvs/handles.h"

namespace tlv::client {
namespace {

void putEmptyArrays(s100::KVSet& result, std::span<const CTsymbol> keys) {
    for (const CTsymbol key : keys) {
        if (result.find(key) == nullptr) {
            result.put(key, s100::Value::array(s100::Array{}));
        }
    }
}

// The answer's result: received, or kept from before when the server says it is unchanged.
bool readResult(AdminSession& session, const tlv::wire::Request& request, Answer& answer) {
    if (!answer.response.unchanged() &&
        !setFromWire(std::move(*answer.response.mutable_result()), answer.result)) {
        return false;
    }
    return session.lists().take(request, answer.response, answer.result);
}

// Lends the part's result to handler for the length of its call; CTerr_NoError when it
// succeeded.
CTerror lendPart(s100::KVSet result, CTprofilePartHandler handler, void* context) {
    CTkvs lent = 0;
    if (const CTerror error = s100::lendHandle(std::move(result), lent); error != CTerr_NoError) {
        return error;
    }
    const CTstatus status = handler(lent, context);
    s100::releaseLent(lent);
    return status == CT_SUCCESS ? CTerr_NoError : CTerr_HandlerFailed;
}

}  // namespace

CTerror runRequest(CTsession session, tlv::wire::Request& request, Answer& answer) {
    const std::shared_ptr<AdminSession> found = SessionTable::instance().find(session);
    if (found == nullptr) {
        return CTerr_InvalidHandle;
    }
    found->lists().prepare(request);
    if (const CTerror error = found->exchange(request, answer.response); error != CTerr_NoError) {
        return error;
    }
    // Every answer carries an outcome; 0 is no code at all.
    answer.error = answer.response.error();
    if (answer.error == 0 || !readResult(*found, request, answer)) {
        found->markLost();
        return CTerr_ConnectionLost;
    }
    return CTerr_NoError;
}

CTerror runQuery(CTsession session, tlv::wire::Request& request, CTevtinfo* record,
                 std::span<const CTsymbol> resultKeys) {
    Answer answer;
    if (const CTerror error = runRequest(session, request, answer); error != CTerr_NoError) {
        return error;
    }
    if (answer.error == CTerr_NotFound) {
        putEmptyArrays(answer.result, resultKeys);
    } else if (answer.error != CTerr_NoError) {
        return answer.error;
    }
    if (record != nullptr) {
        if (const CTerror error = mergeIntoHandle(record->kvs, answer.result);
            error != CTerr_NoError) {
            return error;
        }
    }
    return answer.error;
}

CTerror runQueryInParts(CTsession session, tlv::wire::Request& request,
                        CTprofilePartHandler handler, void* context) {
    const std::shared_ptr<AdminSession> found = SessionTable::instance().find(session);
    if (found == nullptr) {
        return CTerr_InvalidHandle;
    }
    CTerror outcome = CTerr_NoError;
    CTerror handing = CTerr_NoError;
    const auto takePart = [&](tlv::wire::Response& part) {
        // Every answer carries an outcome (0 is no code at all); nothing asked for a kept one.
        if (part.error() == 0 || part.unchanged()) {
            return false;
        }
        outcome = part.error();
        if (outcome != CTerr_NoError || handing != CTerr_NoError) {
            return true;
        }
        s100::KVSet result;
        if (!setFromWire(std::move(*part.mutable_result()), result)) {
            return false;
        }
        handing = lendPart(std::move(result), handler, context);
        return true;
    };
    if (const CTerror error = found->exchangeInParts(request, takePart); error != CTerr_NoError) {
        return error;
    }
    return handing != CTerr_NoError ? handing : outcome;
}

CTerror runCommand(CTsession session, tlv::wire::Request& request) {
    Answer answer;
    const CTerror error = runRequest(session, request, answer);
    return error != CTerr_NoError ? error : answer.error;
}

}  // namespace tlv::client
