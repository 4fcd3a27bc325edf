#include "tools/tlvadm/streamseam.h"

#include <QStringList>

int StreamModalSeam::RunDialog(QDialog& /*dialog*/) {
    return IDCANCEL;
}

int StreamModalSeam::MessageBox(const QString& text, const QString& /*caption*/, unsigned flags,
                                QWidget* /*owner*/, const QString& details) {
    for (const QString& line : (details.isEmpty() ? text : details).split(QLatin1Char('\n')))
        m_err << "tlvadm: " << line.toUtf8().constData() << '\n';
    return DefaultMessageBoxAnswer(flags);
}

void StreamModalSeam::MessageBeep(unsigned /*type*/) {}
