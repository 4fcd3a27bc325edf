#pragma once
// The hint in an MDI area without windows: how to start, centred, shown whenever the area is
// empty, so a first-time operator is not left before a grey area.

#include <QLabel>

class QMdiArea;

class CEmptyAreaHint final : public QLabel {
public:
    // Lives on the area's viewport and goes with it.
    CEmptyAreaHint(QMdiArea& area, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Update();

    QMdiArea& m_area;
};
