#include "s100/client/call_runner.h"

#include "s100/client/admin_session.h"
#include "s100/client/kvs_exchange.h"
#include "s100/client/session_table.h"

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
    if (!answer.response.unchanged() && !setFromWire(answer.response.result(), answer.result)) {
        return false;
    }
    return session.lists().take(request, answer.response, answer.result);
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

CTerror runCommand(CTsession session, tlv::wire::Request& request) {
    Answer answer;
    const CTerror error = runRequest(session, request, answer);
    return error != CTerr_NoError ? error : answer.error;
}

}  // namespace tlv::client
