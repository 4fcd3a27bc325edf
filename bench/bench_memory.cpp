// The client's resident memory with 10,000 profiles open in two list windows on the offscreen
// platform, against a real tlvsd: after both views loaded and painted, and again after a few
// periodic refreshes of the document with nothing changed. Printed beside the 100 MB limit.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>

#include "bench/benchserver.h"
#include "session/admindoc.h"
#include "session/admsess.h"
#include "views/adminvw.h"

namespace {

constexpr int kProfileCount = 10000;
constexpr double kLimitMB = 100.0;

// Resident set size of this process in MB, from /proc/self/statm.
double ResidentMB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

// The server with the profiles and two shown list views on its document.
class Setup final {
public:
    Setup() {
        CAdminDoc* doc = m_server.Doc();
        bool bAdded = false;
        if (doc == nullptr || !doc->RunOnSession([&bAdded](ECTF_AdminSession& session) {
                bAdded = AddBenchProfiles(session, kProfileCount);
            }) || !bAdded)
            return;
        ShowProfileList(*doc, m_first);
        ShowProfileList(*doc, m_second);
        QCoreApplication::processEvents();
        m_bReady = m_first.GetListCtrl().GetItemCount() == kProfileCount &&
                   m_second.GetListCtrl().GetItemCount() == kProfileCount;
    }

    CAdminDoc* Doc() const { return m_bReady ? m_server.Doc() : nullptr; }

private:
    BenchServer m_server{"BenchServer"};
    CAdminView m_first;
    CAdminView m_second;
    bool m_bReady = false;
};

Setup* g_pSetup = nullptr;
double g_openedMB = 0;
double g_refreshedMB = 0;

void BM_TwoListWindowsOf10kProfiles(benchmark::State& state) {
    CAdminDoc* doc = g_pSetup != nullptr ? g_pSetup->Doc() : nullptr;
    if (doc == nullptr) {
        state.SkipWithError("no server, no profiles or the views did not load");
        return;
    }
    g_openedMB = ResidentMB();
    for (auto _ : state) {
        doc->PeriodicRefresh();
        QCoreApplication::processEvents();
    }
    g_refreshedMB = ResidentMB();
    state.counters["opened_MB"] = g_openedMB;
    state.counters["refreshed_MB"] = g_refreshedMB;
}

BENCHMARK(BM_TwoListWindowsOf10kProfiles)->Unit(benchmark::kMillisecond)->Iterations(35);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const double startMB = ResidentMB();
    {
        Setup setup;
        g_pSetup = &setup;
        benchmark::RunSpecifiedBenchmarks();
        g_pSetup = nullptr;
    }
    std::printf("resident: %.1f MB before connecting, %.1f MB with both windows open, %.1f MB "
                "after 35 refresh ticks; limit %.0f MB, ratio %.2f\n",
                startMB, g_openedMB, g_refreshedMB, kLimitMB,
                std::max(g_openedMB, g_refreshedMB) / kLimitMB);
    benchmark::Shutdown();
    return 0;
}
