#include "tools/tlvadm/streamseam.h"

#include <QString>

int StreamModalSeam::RunDialog(QDialog& /*dialog*/) {
    return IDCANCEL;
}

int StreamModalSeam::MessageBox(const QString& text, const QString& /*caption*/, unsigned flags,
                                QWidget* /*owner*/) {
    m_err << "tlvadm: " << text.toUtf8().constData() << '\n';
    return DefaultMessageBoxAnswer(flags);
}

void StreamModalSeam::MessageBeep(unsigned /*type*/) {}
