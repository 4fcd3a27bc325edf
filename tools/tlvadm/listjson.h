#pragma once
// The service and provider lists as JSON: the texts the administration client shows and, beside
// them, what the server said (its state and start-type symbols by name, its flags), so that a
// script need not read display texts. One query each. A failure is told as the list's refresh
// tells it: its message and exit 1, or the lost connection and exit 2.

#include <ostream>

class CAdminDoc;

// {"name", "state", "type", "state_symbol", "failed", "disabled", "start_type"} per service.
int PrintServiceListJson(CAdminDoc& doc, std::ostream& out, std::ostream& err);
// {"name", "availability", "available"} per provider.
int PrintProviderListJson(CAdminDoc& doc, std::ostream& out, std::ostream& err);
