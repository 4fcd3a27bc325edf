// The window's responsiveness against a distant server: the client offscreen with the demo data
// of a real tlvsd behind a relay that holds every chunk 75 ms each way (a 150 ms round trip),
// the profile list, the services list and the status window open, and the refresh timer
// running. A timer on the GUI thread due every 20 ms measures how late it fires: first during
// 20 s of refreshes, then with the server stopped (SIGSTOP), when the windows must also say
// "[Not Responding]" within 3 s of the call that went unanswered.
#include <signal.h>
#include <stdlib.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "app/tlvadmin.h"
#include "bench/benchserver.h"
#include "framework/mdi/mdiframe.h"
#include "platform/registry/regapi.h"
#include "resources/commandids.h"
#include "session/admindoc.h"
#include "tests/support/relay_proxy.h"
#include "tests/support/tlvsd_process.h"

namespace {

constexpr const char* kEntry = "FarServer";
constexpr auto kOneWayDelay = std::chrono::milliseconds(75);
constexpr int kDueEveryMs = 20;
constexpr int kRefreshingMs = 20000;
constexpr int kStoppedMs = 6000;
constexpr double kLatenessLimitMs = 30;
constexpr double kNotRespondingLimitMs = 3000;

struct Figures {
    double refreshingLatenessMs = -1;
    double stoppedLatenessMs = -1;
    double notRespondingAfterMs = -1;
};
Figures g_figures;

// Runs the application's events for the time given while a precise timer due every
// kDueEveryMs measures how late it fires; each firing also calls watch. The longest lateness.
double LongestLateness(int forMs, const std::function<void()>& watch) {
    double longest = 0;
    QElapsedTimer since;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(kDueEveryMs);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double late = static_cast<double>(since.nsecsElapsed()) * 1e-6 - kDueEveryMs;
        longest = std::max(longest, late);
        since.restart();
        watch();
    });
    QEventLoop loop;
    QTimer::singleShot(forMs, &loop, &QEventLoop::quit);
    since.start();
    probe.start();
    loop.exec();
    return longest;
}

// Three windows of one server: the profile list, the services list and the status window.
CAdminDoc* OpenThreeWindows(CAdminApp& app) {
    auto* doc = dynamic_cast<CAdminDoc*>(app.OpenDocumentFile(kEntry));
    if (doc == nullptr)
        return nullptr;
    const CommandRouter& router = app.GetMainWnd()->router();
    router.execute(ID_WINDOW_NEW);
    router.execute(ID_VIEW_REPLACEABLESERVICES);
    router.execute(ID_VIEW_SERVERSTATUS);
    return doc;
}

void BM_Responsiveness(benchmark::State& state) {
    tlv::test::TempDir folder;
    setenv("TLV_REGISTRY", (folder.path() + "/registry.db").c_str(), 1);
    tlv::test::TlvsdProcess server;
    if (RegUseRegistryFile("") != ERROR_SUCCESS ||
        !server.start({"--seed", "demo", "--data", folder.path()})) {
        state.SkipWithError("tlvsd did not start");
        return;
    }
    tlv::test::RelayProxy relay(server.port(), {kOneWayDelay, {}});
    if (relay.port() == 0 || !WriteBenchEntry(kEntry, relay.port())) {
        state.SkipWithError("no relay or no server entry");
        return;
    }
    for (auto _ : state) {
        CAdminApp app;
        app.InitInstance();
        CAdminDoc* doc = OpenThreeWindows(app);
        if (doc == nullptr) {
            state.SkipWithError("could not connect through the relay");
            return;
        }
        g_figures.refreshingLatenessMs = LongestLateness(kRefreshingMs, [] {});

        kill(server.pid(), SIGSTOP);
        QElapsedTimer unanswered;  // from the first call that goes out after the stop
        g_figures.stoppedLatenessMs = LongestLateness(kStoppedMs, [&] {
            if (!unanswered.isValid() && doc->IsTickOutstanding())
                unanswered.start();
            if (unanswered.isValid() && g_figures.notRespondingAfterMs < 0 &&
                doc->IsNotResponding())
                g_figures.notRespondingAfterMs = static_cast<double>(unanswered.elapsed());
        });
        kill(server.pid(), SIGCONT);
        LongestLateness(1000, [] {});  // the answers come back before the windows go
    }
    state.counters["refreshing_late_ms"] = g_figures.refreshingLatenessMs;
    state.counters["stopped_late_ms"] = g_figures.stoppedLatenessMs;
    state.counters["not_responding_ms"] = g_figures.notRespondingAfterMs;
}
BENCHMARK(BM_Responsiveness)->Iterations(1)->Unit(benchmark::kSecond);

void PrintFigures() {
    std::printf(
        "150 ms round trip, three windows, 20 s of refreshes: longest lateness %.1f ms "
        "(limit %.0f ms)\n",
        g_figures.refreshingLatenessMs, kLatenessLimitMs);
    std::printf(
        "server stopped: longest lateness %.1f ms (limit %.0f ms); \"[Not Responding]\" "
        "%.0f ms after the unanswered call (limit %.0f ms)\n",
        g_figures.stoppedLatenessMs, kLatenessLimitMs, g_figures.notRespondingAfterMs,
        kNotRespondingLimitMs);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();  // the application object starts the S.100 library
    PrintFigures();
    benchmark::Shutdown();
    return 0;
}
