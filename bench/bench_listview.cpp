// The list view's rebuild after a change in a list of 10,000 profiles, on the offscreen
// platform: the view remembers its selection (every tenth row), copies the document's rows,
// refills the list control, selects again by name and repaints. The change itself (a profile
// added or removed on a real tlvsd and read back) is not timed. The median is reported over
// five repetitions.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "bench/benchserver.h"
#include "session/admindoc.h"
#include "session/admsess.h"
#include "views/adminvw.h"

namespace {

constexpr int kProfileCount = 10000;
constexpr const char* kChangedProfile = "Profile_Changed";

// The server with the profiles and a shown list view on its document; made in main, after
// the application object, and gone before it.
class Setup final {
public:
    Setup() {
        CAdminDoc* doc = m_server.Doc();
        bool bAdded = false;
        if (doc == nullptr || !doc->RunOnSession([&bAdded](ECTF_AdminSession& session) {
                bAdded = AddBenchProfiles(session, kProfileCount);
            }) || !bAdded)
            return;
        ShowProfileList(*doc, m_view);
        // The second load is a refresh of the same type: from then on updates keep the selection.
        m_view.LoadView(VT_Profiles, 0);
        CMyListCtrl& list = m_view.GetListCtrl();
        for (int row = 0; row < list.GetItemCount(); row += 10)
            list.SetItemSelected(row, true);
        m_bReady = true;
    }

    CAdminDoc* Doc() const { return m_bReady ? m_server.Doc() : nullptr; }
    CAdminView& View() { return m_view; }

private:
    BenchServer m_server{"BenchServer"};
    CAdminView m_view;
    bool m_bReady = false;
};

Setup* g_pSetup = nullptr;

// Adds the changed profile or removes it again; the view does not rebuild meanwhile.
bool ChangeProfiles(CAdminDoc& doc, CAdminView& view, bool bAdd) {
    view.SetUpdatesEnabled(0);
    const CString name = QString::fromLatin1(kChangedProfile);
    bool ok = false;
    if (bAdd) {
        CTkvs set = 0;
        ok = CTkvs_Create(&set, nullptr) == CT_SUCCESS &&
             doc.RunOnSession([&ok, set](ECTF_AdminSession& session) {
                 ok = session.AddProfile(kChangedProfile, "Application", set) != 0;
             }) && ok;
        CTkvs_Destroy(set, nullptr);
    } else {
        ok = doc.DeleteProfile(name, "Application") == 1;
    }
    doc.RefreshProfileInfo(0);
    view.SetUpdatesEnabled(1);
    return ok;
}

void BM_ListViewRebuildAfterChange(benchmark::State& state) {
    CAdminDoc* doc = g_pSetup != nullptr ? g_pSetup->Doc() : nullptr;
    if (doc == nullptr) {
        state.SkipWithError("no server or no profiles");
        return;
    }
    CAdminView& view = g_pSetup->View();
    bool bAdd = true;
    for (auto _ : state) {
        state.PauseTiming();
        if (!ChangeProfiles(*doc, view, bAdd))
            state.SkipWithError("the change failed");
        bAdd = !bAdd;
        state.ResumeTiming();
        doc->UpdateAllViews(nullptr, HINT_PROFILES);
        QCoreApplication::processEvents();  // the one repaint
    }
    state.counters["rows"] = view.GetListCtrl().GetItemCount();
    state.counters["selected"] = view.GetListCtrl().GetSelectedCount();
}

BENCHMARK(BM_ListViewRebuildAfterChange)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Setup setup;
    g_pSetup = &setup;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_pSetup = nullptr;
    return 0;
}
