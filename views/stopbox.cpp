#include "views/stopbox.h"

#include "resources/resourceids.h"

#include <QPushButton>

CStopBox::CStopBox(QWidget* parent) : CCommandBox(IDD_STOP_SERVICE, parent) {
    // Between "&Normal Stop" and "Cancel", after the leading stretch.
    QPushButton* emergency = InsertButton(2, QStringLiteral("&Emergency Stop"));
    emergency->setObjectName(QString::number(IDC_EMERGENCY));
    connect(emergency, &QPushButton::clicked, this, &CStopBox::OnEmergency);
}

void CStopBox::OnEmergency() {
    done(IDC_EMERGENCY);
}
