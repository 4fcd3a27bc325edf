#pragma once
// What tlvadm says when it cannot start on the registry: where it looked and how to make one.
// A failed connection is told by the document's box, whose details the stream seam writes.

#include <ostream>
#include <string>

// One line per fact, each "tlvadm: ...". message is the registry's own reason, written when
// files exist but cannot be opened.
void ExplainRegistryFailure(const std::string& message, std::ostream& err);
