#include "views/lamps.h"

#include <QPainter>

#include "views/dibitmap.h"

void DrawLamp(QPainter& dc, CDIBitmap& mask, CDIBitmap& lamp, const QRect& place,
              const QColor& veil) {
    mask.DrawEx(dc, place.x(), place.y(), place.width(), place.height(), SRCAND);
    lamp.DrawEx(dc, place.x(), place.y(), place.width(), place.height(), SRCPAINT);
    if (veil.isValid())
        dc.fillRect(place, veil);
}
