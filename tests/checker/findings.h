#pragma once
// Comparing a run's findings with the whole expected list, in order.

#include <string>
#include <vector>

#include "checker/array.h"
#include "checker/checkmessage.h"

struct Finding {
    CE_Type type;
    std::string profile;
    std::string text;

    bool operator==(const Finding&) const = default;
};

std::vector<Finding> FindingsOf(const Array<CheckMessage>& messages);

// Printed as "TYPE profile | text" so that a failed comparison shows the lists readably.
void PrintTo(const Finding& finding, std::ostream* out);
