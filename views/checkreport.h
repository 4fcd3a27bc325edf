#pragma once
// One profile check run as the report box shows it: one labelled line per finding in run
// order, then, after a blank line, the summary
//   Checking Complete - N error(s), M warning(s)
// Errors count the fatal findings as well: both mean data the operator has to put right, and a
// run that could not read the server must not sum up as free of errors.
//
// The report holds copies of the lines, so it outlives the run's findings.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "framework/comn/comn.h"

class ECTF_AdminSession;

// Runs the whole check on the session (its result flag is not used: a failed run says why in
// its findings) and gives the report; progress is told how many application profiles it has
// checked so far.
std::unique_ptr<CheckFindings> RunCheckReport(
    ECTF_AdminSession& session, std::function<void(std::size_t checked)> progress = {});

// The summary line for the counts.
std::string CheckSummary(int errors, int warnings);
