#pragma once
// The modal seam of a program without a display: every message box text goes to the error
// stream, message boxes get their default button, dialogs are cancelled. A box with details
// writes its details instead, one line each: they say what the window's sentence says, and
// what exactly went wrong.

#include <ostream>

#include "framework/modalseam.h"

class StreamModalSeam final : public ModalSeam {
public:
    explicit StreamModalSeam(std::ostream& err) : m_err(err), m_guard(*this) {}

    int RunDialog(QDialog& dialog) override;
    int MessageBox(const QString& text, const QString& caption, unsigned flags,
                   QWidget* owner = nullptr, const QString& details = {}) override;
    void MessageBeep(unsigned type) override;

private:
    std::ostream& m_err;
    ModalSeamGuard m_guard;
};

// While alive, the message boxes of the thread that made it go to its stream instead of the
// seam's: many servers run at once, each on a thread of its own with output of its own.
class ThreadMessageStream final {
public:
    explicit ThreadMessageStream(std::ostream& err);
    ~ThreadMessageStream();
    ThreadMessageStream(const ThreadMessageStream&) = delete;
    ThreadMessageStream& operator=(const ThreadMessageStream&) = delete;

    // This thread's stream, or null.
    static std::ostream* Current();

private:
    std::ostream* m_pPrevious;
};
