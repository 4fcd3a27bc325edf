#pragma once
// Driving the service dialogs in tests: an owned KV set, children by object name, running a
// dialog through the scripted seam.

#include <gtest/gtest.h>

#include <QDialog>
#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "framework/testing/scriptedmodalseam.h"
#include "s100/s100.h"
#include "tests/support/kvset.h"

using tlv::test::KvSet;

template <typename Widget>
Widget& Child(const QWidget& parent, const char* objectName) {
    auto* child = parent.findChild<Widget*>(QString::fromLatin1(objectName));
    if (child == nullptr) {
        // A dialog without the control is a broken test setup; nothing sensible can follow.
        std::fprintf(stderr, "no child widget %s\n", objectName);
        std::abort();
    }
    return *child;
}

// Runs the dialog through the seam with the script, which sees it shown; returns the run's
// result.
template <typename Dialog>
int RunScripted(ScriptedModalSeam& seam, Dialog& dialog, std::function<void(Dialog&)> script) {
    seam.ExpectDialog([&dialog, script](QDialog& shown) {
        EXPECT_EQ(&shown, &dialog);
        script(dialog);
        return ModalResultOf(shown.result());
    });
    return Modal().RunDialog(dialog);
}

// Presses OK; true when the dialog closed.
inline bool PressOk(QDialog& dialog) {
    dialog.accept();
    return dialog.result() == QDialog::Accepted && !dialog.isVisible();
}

constexpr unsigned kErrorBoxFlags = 0x1030;

// Counts the message boxes the seam has shown when the watched widget gets its show event.
class BoxesAtShow final : public QObject {
public:
    explicit BoxesAtShow(const ScriptedModalSeam& seam) : m_seam(seam) {}
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Show)
            count = m_seam.MessageTexts().size();
        return false;
    }
    std::size_t count = 99;

private:
    const ScriptedModalSeam& m_seam;
};

// Opens the dialog on the set for a remote server and presses OK; the boxes shown before the
// dialog showed.
template <typename Dialog>
std::size_t BoxesBeforeRemoteDialogShows(ScriptedModalSeam& seam, CTkvs set) {
    Dialog dialog(set, nullptr, 0);
    BoxesAtShow watcher(seam);
    dialog.installEventFilter(&watcher);
    RunScripted<Dialog>(seam, dialog, [](Dialog& shown) { EXPECT_TRUE(PressOk(shown)); });
    return watcher.count;
}
