#pragma once
// One finding of a profile check: its severity, the profile it concerns and its whole text.

#include <cstdint>
#include <string>

#include "checker/array.h"

enum CE_Type : std::int32_t {
    CE_Info = 0,     // something defined but not used
    CE_Warning = 1,  // consistent but suspicious
    CE_Error = 2,    // a reference to something that does not exist, a missing profile
    CE_Fatal = 3,    // a profile or the server data that could not be read
};

class CheckMessage {
public:
    // CE_Fatal, no profile, "Empty Message".
    CheckMessage();
    CheckMessage(CE_Type type, std::string profileName, std::string text);

    CE_Type m_type;
    std::string m_profileName;  // empty for findings about the run itself
    std::string m_text;
};

// The string-table id of the severity's label ("Info\t:", ...; "<Unknown>\t:" for any other
// value), for whoever shows findings.
unsigned LabelIdOf(CE_Type type);

// The finding as one report line: its severity's label, then its text.
std::string LabelledText(const CheckMessage& message);

// Appends finding to messages. The array gets room for half as many again whenever it is full,
// rather than 50 slots: a run with a million findings would otherwise move its slots 20,000 times.
void AddFinding(Array<CheckMessage>& messages, CheckMessage finding);
