#include "framework/waitloop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "framework/waitingbox.h"

namespace {

// How often the box's seconds and progress are brought up to date.
constexpr int kBoxUpdateMs = 250;

// The dispatcher to wait on, when this thread runs the application's events.
QAbstractEventDispatcher* GuiDispatcher() {
    const QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread())
        return nullptr;
    return QAbstractEventDispatcher::instance();
}

// Handles this thread's events until finished or stop says so; flags as processEvents takes
// them.
template <typename Stop>
void ProcessUntil(WaitCompletion& completion, QEventLoop::ProcessEventsFlags flags, Stop stop) {
    QEventLoop loop;
    while (!completion.IsFinished() && !stop())
        loop.processEvents(flags | QEventLoop::WaitForMoreEvents);
}

}  // namespace

void WaitCompletion::Finish() {
    const std::lock_guard lock(m_mutex);
    m_bFinished = true;
    m_finished.notify_all();
    if (m_pDispatcher != nullptr)
        m_pDispatcher->wakeUp();
}

bool WaitCompletion::IsFinished() const {
    const std::lock_guard lock(m_mutex);
    return m_bFinished;
}

void WaitCompletion::WatchFrom(QAbstractEventDispatcher* dispatcher) {
    const std::lock_guard lock(m_mutex);
    m_pDispatcher = dispatcher;
}

void WaitCompletion::BlockUntilFinished() {
    std::unique_lock lock(m_mutex);
    m_finished.wait(lock, [this] { return m_bFinished; });
}

CWaitLoop::CWaitLoop(QString caption, BoxText text)
    : m_strCaption(std::move(caption)), m_text(std::move(text)) {}

CWaitLoop::Outcome CWaitLoop::Run(WaitCompletion& completion) {
    QAbstractEventDispatcher* dispatcher = GuiDispatcher();
    if (dispatcher == nullptr) {
        completion.BlockUntilFinished();
        return Outcome::Finished;
    }
    completion.WatchFrom(dispatcher);
    QElapsedTimer waited;
    waited.start();
    bool bBoxDue = false;
    QTimer boxDelay;
    boxDelay.setSingleShot(true);
    boxDelay.setTimerType(Qt::PreciseTimer);  // a coarse one may fire before the second is up
    QObject::connect(&boxDelay, &QTimer::timeout, [&bBoxDue] { bBoxDue = true; });
    boxDelay.start(kBoxDelayMs);
    ProcessUntil(completion, QEventLoop::ExcludeUserInputEvents, [&] { return bBoxDue; });

    WaitingBox* box = InstalledWaitingBox();
    if (completion.IsFinished() || box == nullptr) {
        ProcessUntil(completion, QEventLoop::ExcludeUserInputEvents, [] { return false; });
        return Outcome::Finished;
    }
    bool bCancelled = false;
    const auto text = [&] { return m_text(static_cast<int>(waited.elapsed() / 1000)); };
    box->Show(m_strCaption, text(), [&bCancelled] { bCancelled = true; });
    QTimer update;
    QObject::connect(&update, &QTimer::timeout, [&] { box->SetText(text()); });
    update.start(kBoxUpdateMs);
    // The box is modal: input reaches it and nothing else.
    ProcessUntil(completion, QEventLoop::AllEvents, [&bCancelled] { return bCancelled; });
    box->Hide();
    return bCancelled ? Outcome::Cancelled : Outcome::Finished;
}

bool CWaitLoop::HasApplicationEvents() {
    return GuiDispatcher() != nullptr;
}

void CWaitLoop::RunToEnd(WaitCompletion& completion) {
    QAbstractEventDispatcher* dispatcher = GuiDispatcher();
    if (dispatcher == nullptr) {
        completion.BlockUntilFinished();
        return;
    }
    completion.WatchFrom(dispatcher);
    ProcessUntil(completion, QEventLoop::ExcludeUserInputEvents, [] { return false; });
}
