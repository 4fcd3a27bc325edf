// The profile checker's run over generated server data: N application profiles with 100 ASIs,
// 100 group sets and 100 resources each, an ASI map with one mapping per profile (99 of its
// ASIs as destinations, so each profile has one unmapped ASI) and one inbound routing rule per
// mapping. N runs from 1,000 / 16 to 16 x 1,000; the reported complexity shows how the time
// grows. Reading the profiles hands out about 300 KV set and array handles per profile.
//
// Memory is the run's own: the generated query results stand for what the server sent and are
// resident before the run starts, so the peak is taken from a high-water mark reset after
// generating them, less what was resident then.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "checker/array.h"
#include "checker/checkmessage.h"
#include "checker/profchck.h"
#include "s100/s100.h"

namespace {

constexpr int kPerProfile = 100;

// A KV set made with the C API and destroyed with the object.
class OwnedSet final {
public:
    OwnedSet() { CTkvs_Create(&m_kvs, nullptr); }
    ~OwnedSet() { CTkvs_Destroy(m_kvs, nullptr); }
    OwnedSet(const OwnedSet&) = delete;
    OwnedSet& operator=(const OwnedSet&) = delete;
    operator CTkvs() const { return m_kvs; }  // NOLINT

private:
    CTkvs m_kvs = CT_kvsEmpty;
};

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
    std::vector<OwnedSet> asis(kPerProfile);
    std::vector<CTkvs> asiHandles;
    CTary groupSets = 0;
    CTary_Create(&groupSets, nullptr);
    std::vector<std::string> resources;
    for (int a = 0; a < kPerProfile; ++a) {
        const std::string groupSet = Numbered("GS", a);
        CTkvs_PutString(asis[a], KEY_AsiName, Numbered("A", a).c_str(), nullptr);
        CTkvs_PutString(asis[a], KEY_AsiGroupSet, groupSet.c_str(), nullptr);
        CTkvs_PutString(asis[a], KEY_AsiDefaultConfig, "CFG", nullptr);
        asiHandles.push_back(asis[a]);

        CTary strings = 0;
        CTary_Create(&strings, nullptr);
        const std::string primary = Numbered("R", a);
        const std::string config = "CFG=" + primary + "&" + Numbered("R", (a + 1) % kPerProfile);
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

void BuildEndpoint(CTkvs endpoint, const std::string& profile, const std::string& asi) {
    CTkvs_PutString(endpoint, KEY_EndpointProfile, profile.c_str(), nullptr);
    CTkvs_PutString(endpoint, KEY_EndpointAsi, asi.c_str(), nullptr);
}

// One mapping per profile, from SCR_AppProfile:In<p> to all but the last ASI of profile p, and
// one inbound rule per mapping naming In<p>.
void BuildMapAndRules(int profiles, CTkvs asiMap, CTkvs rules) {
    std::vector<CTkvs> mappingHandles;
    std::vector<CTkvs> ruleHandles;
    std::vector<OwnedSet> mappings(profiles);
    std::vector<OwnedSet> inbound(profiles);
    for (int p = 0; p < profiles; ++p) {
        const std::string scrAsi = Numbered("In", p);
        OwnedSet source;
        BuildEndpoint(source, "SCR_AppProfile", scrAsi);
        CTkvs_PutKVSet(mappings[p], KEY_MapSource, source, nullptr);
        std::vector<OwnedSet> destinations(kPerProfile - 1);
        std::vector<CTkvs> destinationHandles;
        for (int a = 0; a < kPerProfile - 1; ++a) {
            BuildEndpoint(destinations[a], Numbered("App", p), Numbered("A", a));
            destinationHandles.push_back(destinations[a]);
        }
        PutKVSetArray(mappings[p], KEY_MapDestinations, destinationHandles);
        mappingHandles.push_back(mappings[p]);

        CTkvs_PutString(inbound[p], KEY_AsiName, scrAsi.c_str(), nullptr);
        PutStringArray(inbound[p], KEY_RuleDevices, {Numbered("Line", p)});
        ruleHandles.push_back(inbound[p]);
    }
    PutKVSetArray(asiMap, KEY_Mappings, mappingHandles);
    PutKVSetArray(rules, KEY_InboundRules, ruleHandles);
}

// The three query results of a server with `profiles` application profiles.
struct GeneratedServer {
    OwnedSet applications;
    OwnedSet asiMapResult;
    OwnedSet rulesResult;

    explicit GeneratedServer(int profiles) {
        std::vector<OwnedSet> contents(profiles);
        std::vector<CTkvs> contentHandles;
        std::vector<std::string> names;
        for (int p = 0; p < profiles; ++p) {
            BuildApplication(contents[p]);
            contentHandles.push_back(contents[p]);
            names.push_back(Numbered("App", p));
        }
        PutStringArray(applications, KEY_ProfileNames, names);
        PutKVSetArray(applications, KEY_ProfileContents, contentHandles);

        OwnedSet asiMap;
        OwnedSet rules;
        BuildMapAndRules(profiles, asiMap, rules);
        PutStringArray(asiMapResult, KEY_ProfileNames, {"SCR_ASIMap"});
        PutKVSetArray(asiMapResult, KEY_ProfileContents, {asiMap});
        PutStringArray(rulesResult, KEY_ProfileNames, {"SCR_RoutingRules"});
        PutKVSetArray(rulesResult, KEY_ProfileContents, {rules});
    }
};

// Seconds per run by profile count, for the ratios printed at the end.
std::map<int, double>& secondsPerRun() {
    static std::map<int, double> byCount;
    return byCount;
}

// The run's own peak resident memory, in MB, by profile count.
std::map<int, double>& runPeakByCount() {
    static std::map<int, double> byCount;
    return byCount;
}

// A "Name:   N kB" line of /proc/self/status in MB; 0 when it cannot be read.
double statusMB(const std::string& name) {
    std::ifstream status("/proc/self/status");
    std::string label;
    while (status >> label) {
        if (label == name + ":") {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes / 1024.0;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

// Sets the peak resident mark to what is resident now, once the heap gave back what earlier
// runs freed (else the run would reuse it unseen).
void resetPeakResident() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_CheckRun(benchmark::State& state) {
    const int profiles = static_cast<int>(state.range(0));
    const GeneratedServer server(profiles);
    int findings = 0;
    resetPeakResident();
    const double residentBefore = statusMB("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        Array<CheckMessage> messages;
        const int result = ProfileChecker::CheckQueried(
            {QueryOutcome::Found, server.applications}, {QueryOutcome::Found, server.asiMapResult},
            {QueryOutcome::Found, server.rulesResult}, messages);
        benchmark::DoNotOptimize(result);
        findings = messages.Size();
    }
    // Each profile's unmapped last ASI, and the ASI map's source profile SCR_AppProfile once
    // per mapping.
    if (findings != 2 * profiles) {
        state.SkipWithError("unexpected number of findings");
    }
    state.counters["findings"] = findings;
    const double runPeak = statusMB("VmHWM") - residentBefore;
    state.counters["data_MB"] = residentBefore;
    state.counters["run_peak_MB"] = runPeak;
    runPeakByCount()[profiles] = runPeak;
    state.SetComplexityN(profiles);
    secondsPerRun()[profiles] =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
        static_cast<double>(state.iterations());
}

void printTargets() {
    const auto& runs = secondsPerRun();
    if (runs.count(1000) != 0) {
        std::printf("1,000 profiles: %.0f ms per run; limit 300 ms, ratio %.2f\n",
                    runs.at(1000) * 1e3, runs.at(1000) / 0.3);
    }
    if (runs.count(1000) != 0 && runs.count(16000) != 0) {
        std::printf(
            "16,000 profiles: %.0f ms per run = %.1f x the 1,000 time; limit 17 x, "
            "ratio %.2f\n",
            runs.at(16000) * 1e3, runs.at(16000) / runs.at(1000),
            runs.at(16000) / runs.at(1000) / 17.0);
    }
    if (const auto largest = runPeakByCount().rbegin(); largest != runPeakByCount().rend()) {
        std::printf(
            "%d profiles: run's own peak resident %.0f MB (above the generated data); "
            "limit 1024 MB, ratio %.2f\n",
            largest->first, largest->second, largest->second / 1024.0);
    }
}

BENCHMARK(BM_CheckRun)
    ->Arg(62)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    printTargets();
    benchmark::Shutdown();
    return 0;
}
