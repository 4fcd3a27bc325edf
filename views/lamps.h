#pragma once
// One status lamp drawn over whatever is there already: the mask blackens the lamp's place and
// keeps the background around it; the lamp, black around its disc, is then laid over it. The
// status view draws its column of lamps so, and the Server Overview its rows.

#include <QColor>
#include <QRect>

class CDIBitmap;
class QPainter;

// The lamps' colour-table entry that takes the background's colour.
inline constexpr int kLampFaceEntry = 7;

// veil (when valid) greys the lamp: the level it shows may no longer hold.
void DrawLamp(QPainter& dc, CDIBitmap& mask, CDIBitmap& lamp, const QRect& place,
              const QColor& veil = QColor());
