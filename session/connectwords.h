#pragma once
// A failed connection in the words every program shows: the administration client under its
// own sentence, tlvedit in its box, tlvadm on its error stream. They name the entry and its
// connection string, say what went wrong in plain words, and what to do next.

#include <string>
#include <vector>

#include "s100/client/open_failure.h"

struct OpenFailureWords {
    std::vector<std::string> context;  // "Server entry: X", then "Connection string: Y" once read
    std::string reason;
    std::string advice;  // may be empty

    // context, reason and advice, one a line; none for an open that did not fail.
    std::vector<std::string> Lines() const;
};

// The words for an open that failed: UTF-8, with names, paths and the connection string shown
// by platform/text/shownbytes.h. None for one that the operator gave up waiting for.
OpenFailureWords DescribeOpenFailure(const tlv::client::OpenFailure& failure);

// The words for the entry's last failed open (its record in the library).
OpenFailureWords DescribeOpenFailure(const std::string& entry);
