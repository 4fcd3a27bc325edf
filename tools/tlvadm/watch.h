#pragma once
// tlvadm's watch: a list of the server read every 2 s until Ctrl+C. On a terminal the screen is
// redrawn with the whole list; otherwise the first reading is printed whole and then only what
// changed, one line per new or changed row, "NAME<TAB>(gone)" for a row that went.

#include <ostream>
#include <string>

class CAdminDoc;

// list: profiles | services | providers | level. Returns only when a reading fails: 2 when the
// connection was lost (the document said so), 1 when the server refused.
int RunWatch(CAdminDoc& doc, const std::string& list, bool bTerminal, std::ostream& out);
