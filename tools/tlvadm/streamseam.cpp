#include "tools/tlvadm/streamseam.h"

#include <QStringList>

namespace {

thread_local std::ostream* t_pMessages = nullptr;

}  // namespace

ThreadMessageStream::ThreadMessageStream(std::ostream& err) : m_pPrevious(t_pMessages) {
    t_pMessages = &err;
}

ThreadMessageStream::~ThreadMessageStream() {
    t_pMessages = m_pPrevious;
}

std::ostream* ThreadMessageStream::Current() {
    return t_pMessages;
}

int StreamModalSeam::RunDialog(QDialog& /*dialog*/) {
    return IDCANCEL;
}

int StreamModalSeam::MessageBox(const QString& text, const QString& /*caption*/, unsigned flags,
                                QWidget* /*owner*/, const QString& details) {
    std::ostream* thread = ThreadMessageStream::Current();
    std::ostream& out = thread != nullptr ? *thread : m_err;
    for (const QString& line : (details.isEmpty() ? text : details).split(QLatin1Char('\n')))
        out << "tlvadm: " << line.toUtf8().constData() << '\n';
    return DefaultMessageBoxAnswer(flags);
}

void StreamModalSeam::MessageBeep(unsigned /*type*/) {}
