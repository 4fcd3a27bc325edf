#pragma once
// The modal seam for tests: dialogs are answered by scripts, message boxes by queued answers,
// and everything shown is recorded in order, so a test asserts exact texts and their sequence.
//
//   ScriptedModalSeam seam;                     // installs itself until it is destroyed
//   seam.ExpectDialog([](QDialog& d) {          // the next dialog run
//       auto& box = dynamic_cast<CChangeLevel&>(d);
//       ...set fields...;
//       d.accept();                             // press OK: the dialog's own checks run
//       return ModalResultOf(d.result());
//   });
//   seam.AnswerMessageBox(IDYES);               // the next message box's button
//   ...run the code...
//   EXPECT_EQ(seam.MessageTexts(), (std::vector<std::string>{"..."}));
//
// The dialog is shown (offscreen in tests) before its script runs, so fields that a dialog
// puts into its controls when shown are there; it is hidden again afterwards. A message box
// without a queued answer gets its default button (the operator pressing Enter); a dialog
// without a script is cancelled. Both are recorded with scripted = false.

#include <QString>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/modalseam.h"

struct ModalEvent {
    enum class Kind { Dialog, MessageBox, Beep };

    Kind kind = Kind::MessageBox;
    QString text;        // message box text; for a dialog its class name
    QString details;     // message box details under the text
    QString caption;     // message box caption; for a dialog its window title
    unsigned flags = 0;  // message box flags; for a beep its type
    const QWidget* owner = nullptr;
    int result = 0;  // what the seam answered
    bool scripted = true;
};

class ScriptedModalSeam final : public ModalSeam {
public:
    using DialogScript = std::function<int(QDialog&)>;

    ScriptedModalSeam();
    ~ScriptedModalSeam() override;
    ScriptedModalSeam(const ScriptedModalSeam&) = delete;
    ScriptedModalSeam& operator=(const ScriptedModalSeam&) = delete;

    // Queues the script for the next dialog run; its result is the run's result.
    void ExpectDialog(DialogScript script);
    // Queues the button pressed in the next message box.
    void AnswerMessageBox(int result);

    int RunDialog(QDialog& dialog) override;
    int MessageBox(const QString& text, const QString& caption, unsigned flags,
                   QWidget* owner = nullptr, const QString& details = {}) override;
    void MessageBeep(unsigned type) override;

    // Everything shown, in order.
    const std::vector<ModalEvent>& Events() const { return m_events; }
    // The texts of the message boxes, in order.
    std::vector<std::string> MessageTexts() const;
    // Their details, in the same order ("" for a box without).
    std::vector<std::string> MessageDetails() const;
    // Scripts and answers not used yet.
    std::size_t PendingDialogs() const { return m_dialogScripts.size(); }
    std::size_t PendingAnswers() const { return m_answers.size(); }
    void Clear();

private:
    std::vector<std::string> OfMessageBoxes(QString ModalEvent::*field) const;

    std::deque<DialogScript> m_dialogScripts;
    std::deque<int> m_answers;
    std::vector<ModalEvent> m_events;
    ModalSeamGuard m_guard;
};
