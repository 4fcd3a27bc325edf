#include "app/emptyhint.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

CEmptyAreaHint::CEmptyAreaHint(QMdiArea& area, const QString& text)
    : QLabel(text, area.viewport()), m_area(area) {
    setObjectName(QStringLiteral("emptyAreaHint"));
    setAlignment(Qt::AlignCenter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Light text on the area's dark background.
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colours.color(QPalette::Light));
    setPalette(colours);
    area.viewport()->installEventFilter(this);
    connect(&area, &QMdiArea::subWindowActivated, this, [this] { Update(); });
    Update();
}

bool CEmptyAreaHint::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Resize:
        case QEvent::ChildAdded:
        case QEvent::ChildRemoved:
            Update();
            break;
        default:
            break;
    }
    return QLabel::eventFilter(watched, event);
}

void CEmptyAreaHint::Update() {
    setGeometry(m_area.viewport()->rect());
    bool empty = true;
    for (const QMdiSubWindow* window : m_area.subWindowList())
        empty = empty && window->isHidden();
    setVisible(empty);
}
