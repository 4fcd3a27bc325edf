#pragma once
// The profile checker's generated server data, shared by the benchmarks of the run over query
// results and over a real server: application profiles with 100 ASIs, 100 group sets and 100
// resources each, and an ASI map and routing rules that fit N of them.

#include <string>
#include <vector>

#include "s100/kvs/ownedset.h"
#include "s100/s100.h"

namespace benchdata {

inline constexpr int kAsisPerProfile = 100;

// prefix followed by n in five digits: "App00042".
std::string Numbered(const char* prefix, int n);

void PutKVSetArray(CTkvs kvs, CTsymbol key, const std::vector<CTkvs>& sets);
void PutStringArray(CTkvs kvs, CTsymbol key, const std::vector<std::string>& texts);

// The contents of one application profile: ASIs A00000.. each with its own group set, whose
// configuration names the ASI's resource and the next one; no finding of its own.
void BuildApplication(CTkvs profile);

// The set as a client holds it once it came over the wire: encoded and decoded again, so that
// its string arrays are packed and its values allocated together, as a query result's are.
void PassThroughTheWire(CTkvs set);
// The encoded form of a set, and a set filled from it: one decoding per received copy.
std::string Encoded(CTkvs set);
void DecodeInto(const std::string& encoded, CTkvs set);

// One mapping per profile App<p>, from SCR_AppProfile:In<p> to the first destinationsPerMapping
// ASIs of App<p> (each ASI left out is a finding), and one inbound rule per mapping naming In<p>.
void BuildMapAndRules(int profiles, int destinationsPerMapping, CTkvs asiMap, CTkvs rules);

}  // namespace benchdata
