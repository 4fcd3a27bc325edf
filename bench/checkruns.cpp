#include "bench/checkruns.h"

#include "checker/profchck.h"
#include "session/admsess.h"

namespace {

CheckRunOutcome Run(ECTF_AdminSession& session, int (ProfileChecker::*run)(Array<CheckMessage>&)) {
    Array<CheckMessage> messages;
    ProfileChecker checker(session);
    const int result = (checker.*run)(messages);
    return {result, messages.Size()};
}

}  // namespace

CheckRunOutcome CheckInParts(ECTF_AdminSession& session) {
    return Run(session, &ProfileChecker::Check);
}

CheckRunOutcome CheckWholeAnswer(ECTF_AdminSession& session) {
    return Run(session, &ProfileChecker::CheckWholeAnswers);
}
