#pragma once
// Driving the configuration dialogs in tests: find a child by its object name, answer the
// entry dialog, press buttons.

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "config/srventry.h"
#include "framework/testing/scriptedmodalseam.h"

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

inline void Press(const QWidget& dialog, const char* button) {
    Child<QPushButton>(dialog, button).click();
}

// Queues an answer to the next "Edit Server Entry": records the fields it opened with into
// *shown (when given), types the fields given (empty optional: left as they are), presses OK.
struct EntryAnswer {
    std::optional<std::string> name = std::nullopt;
    std::optional<std::string> computer = std::nullopt;
    std::optional<std::string> port = std::nullopt;
};

inline void AnswerEntryDialog(ScriptedModalSeam& seam, EntryAnswer answer,
                              ServerEntryFields* shown = nullptr) {
    seam.ExpectDialog([answer, shown](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Edit Server Entry");
        auto& name = Child<QLineEdit>(dialog, "serverName");
        auto& computer = Child<QLineEdit>(dialog, "computerName");
        auto& port = Child<QLineEdit>(dialog, "portNumber");
        if (shown != nullptr) {
            *shown = {name.text().toStdString(), computer.text().toStdString(),
                      port.text().toStdString()};
        }
        if (answer.name)
            name.setText(QString::fromStdString(*answer.name));
        if (answer.computer)
            computer.setText(QString::fromStdString(*answer.computer));
        if (answer.port)
            port.setText(QString::fromStdString(*answer.port));
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
}
