// The client's start-up to the first painted main window: the registry reads, the S.100 library,
// the templates, the main frame with its menus, toolbar and status bar, and the first paint on
// the offscreen platform. Each iteration makes and destroys the whole application object.
#include <stdlib.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <filesystem>
#include <string>

#include "app/tlvadmin.h"
#include "framework/mdi/mdiframe.h"
#include "platform/registry/regapi.h"

namespace {

// Notes the main window's first paint.
class FirstPaint final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// An installed client: the environment keys are there, so start-up shows no message.
bool WriteEnvironment() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrova\\TLVS Client\\Environment", 0,
                        nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return false;
    const char root[] = "/opt/kestrova/tlvs";
    const LONG result = RegSetValueExA(key, "RootPath", 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(root), sizeof root);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

void BM_StartupToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        FirstPaint watcher;
        {
            CAdminApp app;
            if (!app.InitInstance()) {
                state.SkipWithError("the main frame could not be made");
                return;
            }
            app.GetMainWnd()->installEventFilter(&watcher);
            while (!watcher.painted)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::string folder = (std::filesystem::temp_directory_path() / "tlvbench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr)
        return 1;
    const std::string registry = folder + "/registry.db";
    setenv("TLV_REGISTRY", registry.c_str(), 1);
    QApplication application(argc, argv);
    int result = 1;
    if (WriteEnvironment()) {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        result = 0;
    }
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    return result;
}
