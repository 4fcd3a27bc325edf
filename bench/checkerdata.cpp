#include "bench/checkerdata.h"

#include <cstdio>
#include <optional>

#include "s100/kvs/handles.h"
#include "s100/kvs/wire.h"

namespace benchdata {
namespace {

void BuildEndpoint(CTkvs endpoint, const std::string& profile, const std::string& asi) {
    CTkvs_PutString(endpoint, KEY_EndpointProfile, profile.c_str(), nullptr);
    CTkvs_PutString(endpoint, KEY_EndpointAsi, asi.c_str(), nullptr);
}

}  // namespace

std::string Numbered(const char* prefix, int n) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%05d", prefix, n);
    return text;
}

void PutKVSetArray(CTkvs kvs, CTsymbol key, const std::vector<CTkvs>& sets) {
    CTkvs_PutKVSetArray(kvs, key, sets.data(), static_cast<uint32_t>(sets.size()), nullptr);
}

void PutStringArray(CTkvs kvs, CTsymbol key, const std::vector<std::string>& texts) {
    std::vector<const char*> pointers;
    for (const std::string& text : texts) {
        pointers.push_back(text.c_str());
    }
    CTkvs_PutStringArray(kvs, key, pointers.data(), static_cast<uint32_t>(pointers.size()),
                         nullptr);
}

void BuildApplication(CTkvs profile) {
    std::vector<s100::OwnedSet> asis(kAsisPerProfile);
    std::vector<CTkvs> asiHandles;
    CTary groupSets = 0;
    CTary_Create(&groupSets, nullptr);
    std::vector<std::string> resources;
    for (int a = 0; a < kAsisPerProfile; ++a) {
        const std::string groupSet = Numbered("GS", a);
        CTkvs_PutString(asis[a].Handle(), KEY_AsiName, Numbered("A", a).c_str(), nullptr);
        CTkvs_PutString(asis[a].Handle(), KEY_AsiGroupSet, groupSet.c_str(), nullptr);
        CTkvs_PutString(asis[a].Handle(), KEY_AsiDefaultConfig, "CFG", nullptr);
        asiHandles.push_back(asis[a].Handle());

        CTary strings = 0;
        CTary_Create(&strings, nullptr);
        const std::string primary = Numbered("R", a);
        const std::string config =
            "CFG=" + primary + "&" + Numbered("R", (a + 1) % kAsisPerProfile);
        for (const std::string& text : {groupSet, primary, config}) {
            CTary_AppendString(strings, text.c_str(), nullptr);
        }
        CTary_AppendArray(groupSets, strings, nullptr);
        CTary_Destroy(strings, nullptr);
        resources.push_back(primary + "=board");
    }
    PutKVSetArray(profile, KEY_AsiList, asiHandles);
    CTkvs_PutArray(profile, KEY_GroupSets, groupSets, nullptr);
    CTary_Destroy(groupSets, nullptr);
    PutStringArray(profile, KEY_Resources, resources);
}

std::string Encoded(CTkvs set) {
    s100::KVSet copy;
    s100::copyFromHandle(set, copy);
    return s100::encodeKVSet(copy);
}

void DecodeInto(const std::string& encoded, CTkvs set) {
    s100::DecodeError error;
    std::optional<s100::KVSet> decoded = s100::decodeKVSet(encoded.data(), encoded.size(), error);
    if (decoded) {
        s100::replaceContents(set, std::move(*decoded));
    }
}

void PassThroughTheWire(CTkvs set) {
    DecodeInto(Encoded(set), set);
}

void BuildMapAndRules(int profiles, int destinationsPerMapping, CTkvs asiMap, CTkvs rules) {
    std::vector<CTkvs> mappingHandles;
    std::vector<CTkvs> ruleHandles;
    std::vector<s100::OwnedSet> mappings(profiles);
    std::vector<s100::OwnedSet> inbound(profiles);
    for (int p = 0; p < profiles; ++p) {
        const std::string scrAsi = Numbered("In", p);
        s100::OwnedSet source;
        BuildEndpoint(source.Handle(), "SCR_AppProfile", scrAsi);
        CTkvs_PutKVSet(mappings[p].Handle(), KEY_MapSource, source.Handle(), nullptr);
        std::vector<s100::OwnedSet> destinations(destinationsPerMapping);
        std::vector<CTkvs> destinationHandles;
        for (int a = 0; a < destinationsPerMapping; ++a) {
            BuildEndpoint(destinations[a].Handle(), Numbered("App", p), Numbered("A", a));
            destinationHandles.push_back(destinations[a].Handle());
        }
        PutKVSetArray(mappings[p].Handle(), KEY_MapDestinations, destinationHandles);
        mappingHandles.push_back(mappings[p].Handle());

        CTkvs_PutString(inbound[p].Handle(), KEY_AsiName, scrAsi.c_str(), nullptr);
        PutStringArray(inbound[p].Handle(), KEY_RuleDevices, {Numbered("Line", p)});
        ruleHandles.push_back(inbound[p].Handle());
    }
    PutKVSetArray(asiMap, KEY_Mappings, mappingHandles);
    PutKVSetArray(rules, KEY_InboundRules, ruleHandles);
}

}  // namespace benchdata
