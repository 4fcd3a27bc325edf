#include "tests/checker/findings.h"

#include <ostream>

std::vector<Finding> FindingsOf(const Array<CheckMessage>& messages) {
    std::vector<Finding> findings;
    for (int i = 0; i < messages.Size(); ++i) {
        const CheckMessage& message = *messages[i];
        findings.push_back({message.m_type, message.m_profileName, message.m_text});
    }
    return findings;
}

void PrintTo(const Finding& finding, std::ostream* out) {
    static const char* const kNames[] = {"Info", "Warning", "Error", "Fatal"};
    const int type = static_cast<int>(finding.type);
    *out << (type >= 0 && type < 4 ? kNames[type] : "?") << ' ' << finding.profile << " | "
         << finding.text;
}
