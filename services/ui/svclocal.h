#pragma once
// Whether the administered server runs on this machine. A new executable service is then
// proposed to run on this machine's name (platform/machine).

// 1 when the administration table's connection string of the entry names "localhost", 0 when it
// does not or cannot be read.
int IsServerLocal(const char* entryName);
