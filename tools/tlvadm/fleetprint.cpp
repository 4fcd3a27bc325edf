#include "tools/tlvadm/fleetprint.h"

#include <string_view>

#include "platform/text/shownbytes.h"
#include "tools/tlvadm/commands.h"
#include "tools/tlvadm/output.h"

namespace {

constexpr std::string_view kProgramPrefix = "tlvadm: ";

int Severity(int status) {
    if (status == kExitUsage)
        return 1000;
    if (status == kExitRefused)
        return 999;
    return status;
}

// The lines of a run's messages, each without the program's name before it.
std::string MessagesOf(const std::string& err) {
    std::string messages;
    std::size_t start = 0;
    while (start < err.size()) {
        std::size_t end = err.find('\n', start);
        if (end == std::string::npos)
            end = err.size();
        std::string_view line(err.data() + start, end - start);
        if (line.substr(0, kProgramPrefix.size()) == kProgramPrefix)
            line.remove_prefix(kProgramPrefix.size());
        if (!messages.empty())
            messages += '\n';
        messages += line;
        start = end + 1;
    }
    return messages;
}

// The command's JSON on one line: a line break stands only between tokens, since strings
// carry theirs escaped, so it goes with the indent after it.
std::string OneLine(const std::string& json) {
    std::string line;
    for (std::size_t i = 0; i < json.size(); ++i) {
        if (json[i] != '\n') {
            line += json[i];
            continue;
        }
        while (i + 1 < json.size() && json[i + 1] == ' ')
            ++i;
    }
    return line;
}

}  // namespace

int WorseExit(int a, int b) {
    return Severity(a) >= Severity(b) ? a : b;
}

FleetPrinter::FleetPrinter(Form form, std::ostream& out, std::ostream& err, int timeoutSeconds)
    : m_form(form), m_out(out), m_err(err), m_nTimeoutSeconds(timeoutSeconds) {}

std::string FleetPrinter::NotRespondingText(const std::string& server) const {
    return "not responding: " + (server.empty() ? "no answer" : server + " gave no answer") +
           " within " + std::to_string(m_nTimeoutSeconds) + " s";
}

void FleetPrinter::Print(const Target& target, const TargetResult& result) {
    const int status = result.bNotResponding ? kExitUsage : result.status;
    m_nStatus = WorseExit(m_nStatus, status);
    const std::string server = tlv::platform::ShownBytes(target.name);
    switch (m_form) {
        case Form::Plain:
            m_out << result.out;
            m_err << result.err;
            if (result.bNotResponding)
                m_err << kProgramPrefix << NotRespondingText(server) << '\n';
            break;
        case Form::Lines:
            PrintLines(server, result.out, m_out);
            PrintLines(server, MessagesOf(result.err), m_err);
            if (result.bNotResponding)
                m_err << server << '\t' << NotRespondingText("") << '\n';
            break;
        case Form::Json:
            PrintJson(target, result, status);
            break;
    }
    m_out.flush();
    m_err.flush();
    ++m_nPrinted;
}

void FleetPrinter::PrintLines(const std::string& server, const std::string& text,
                              std::ostream& stream) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        stream << server << '\t' << std::string_view(text.data() + start, end - start) << '\n';
        start = end + 1;
    }
}

void FleetPrinter::PrintJson(const Target& target, const TargetResult& result, int status) {
    m_out << (m_nPrinted == 0 ? "[\n  {" : ",\n  {") << JsonBytesMember("entry", target.name)
          << ", \"ok\": " << (status == kExitOk ? "true" : "false") << ", \"status\": " << status;
    if (!result.out.empty())
        m_out << ", \"result\": " << OneLine(result.out);
    std::string error = MessagesOf(result.err);
    if (result.bNotResponding)
        error += (error.empty() ? "" : "\n") + NotRespondingText("");
    // A failure always says why, unless its result does (check's findings).
    if (status != kExitOk && (!error.empty() || result.out.empty()))
        m_out << ", " << JsonBytesMember("error", error);
    m_out << '}';
}

int FleetPrinter::Finish() {
    if (m_form == Form::Json)
        m_out << (m_nPrinted == 0 ? "[]\n" : "\n]\n");
    m_out.flush();
    return m_nStatus;
}
