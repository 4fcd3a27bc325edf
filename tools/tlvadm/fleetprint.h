#pragma once
// How tlvadm prints the results of its servers, in the order they are handed over:
//   Plain  one server named plainly: its output as it is, as tlvadm always printed it;
//   Lines  many: every line prefixed by the server and a tab, results on the output stream and
//          messages on the error stream (without the "tlvadm: " each run puts before them);
//   Json   many: one array, one object a server: "entry", "ok", "status", then "result" (what
//          the command printed as JSON, on one line) and, when it failed, "error".
// The exit status is the worst of the servers' (WorseExit).

#include <ostream>
#include <string>

#include "tools/tlvadm/fleetrun.h"

// 2 (usage or no connection) is the worst, then 1 (refused), then any other failure, the higher
// the worse; 0 is the best.
int WorseExit(int a, int b);

class FleetPrinter final {
public:
    enum class Form { Plain, Lines, Json };

    // timeoutSeconds names the deadline in the not-responding message.
    FleetPrinter(Form form, std::ostream& out, std::ostream& err, int timeoutSeconds);

    void Print(const Target& target, const TargetResult& result);
    // Ends the JSON array; the exit status of every server printed.
    int Finish();

private:
    void PrintLines(const std::string& server, const std::string& text, std::ostream& stream);
    void PrintJson(const Target& target, const TargetResult& result, int status);
    // Names the server when the line does not.
    std::string NotRespondingText(const std::string& server) const;

    Form m_form;
    std::ostream& m_out;
    std::ostream& m_err;
    int m_nTimeoutSeconds;
    int m_nStatus = 0;
    int m_nPrinted = 0;
};
