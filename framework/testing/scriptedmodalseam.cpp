#include "framework/testing/scriptedmodalseam.h"

#include <QDialog>

ScriptedModalSeam::ScriptedModalSeam() : m_guard(*this) {}

ScriptedModalSeam::~ScriptedModalSeam() = default;

void ScriptedModalSeam::ExpectDialog(DialogScript script) {
    m_dialogScripts.push_back(std::move(script));
}

void ScriptedModalSeam::AnswerMessageBox(int result) {
    m_answers.push_back(result);
}

int ScriptedModalSeam::RunDialog(QDialog& dialog) {
    ModalEvent event;
    event.kind = ModalEvent::Kind::Dialog;
    event.text = QString::fromLatin1(dialog.metaObject()->className());
    event.caption = dialog.windowTitle();
    event.owner = dialog.parentWidget();
    // Recorded before the script runs, so boxes the dialog shows come after it.
    const std::size_t index = m_events.size();
    m_events.push_back(event);

    if (m_dialogScripts.empty()) {
        m_events[index].scripted = false;
        m_events[index].result = IDCANCEL;
        return IDCANCEL;
    }
    const DialogScript script = std::move(m_dialogScripts.front());
    m_dialogScripts.pop_front();
    dialog.show();
    const int result = script(dialog);
    dialog.hide();
    m_events[index].result = result;
    return result;
}

int ScriptedModalSeam::MessageBox(const QString& text, const QString& caption, unsigned flags,
                                  QWidget* owner, const QString& details) {
    ModalEvent event;
    event.kind = ModalEvent::Kind::MessageBox;
    event.text = text;
    event.details = details;
    event.caption = caption;
    event.flags = flags;
    event.owner = owner;
    if (m_answers.empty()) {
        event.scripted = false;
        event.result = DefaultMessageBoxAnswer(flags);
    } else {
        event.result = m_answers.front();
        m_answers.pop_front();
    }
    m_events.push_back(event);
    return event.result;
}

void ScriptedModalSeam::MessageBeep(unsigned type) {
    ModalEvent event;
    event.kind = ModalEvent::Kind::Beep;
    event.flags = type;
    m_events.push_back(event);
}

std::vector<std::string> ScriptedModalSeam::MessageTexts() const {
    return OfMessageBoxes(&ModalEvent::text);
}

std::vector<std::string> ScriptedModalSeam::MessageDetails() const {
    return OfMessageBoxes(&ModalEvent::details);
}

std::vector<std::string> ScriptedModalSeam::OfMessageBoxes(QString ModalEvent::*field) const {
    std::vector<std::string> values;
    for (const ModalEvent& event : m_events) {
        if (event.kind == ModalEvent::Kind::MessageBox)
            values.push_back((event.*field).toStdString());
    }
    return values;
}

void ScriptedModalSeam::Clear() {
    m_dialogScripts.clear();
    m_answers.clear();
    m_events.clear();
}
