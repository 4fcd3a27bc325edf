#pragma once
// CDIBitmap: a device-independent bitmap kept as its own copy of header, colour table and
// pixel bits, drawn stretched into a rectangle with a raster operation. The status lamps are
// three of them.

#include <QByteArray>
#include <QColor>
#include <cstdint>
#include <memory>

class QImage;
class QPainter;

// Raster operations of DrawEx.
inline constexpr unsigned long SRCCOPY = 0x00CC0020;
inline constexpr unsigned long SRCPAINT = 0x00EE0086;
inline constexpr unsigned long SRCAND = 0x008800C6;
inline constexpr unsigned long SRCINVERT = 0x00660046;

class CDIBitmap {
public:
    CDIBitmap() = default;
    virtual ~CDIBitmap();
    CDIBitmap(const CDIBitmap&) = delete;
    CDIBitmap& operator=(const CDIBitmap&) = delete;

    // The bitmap resource of the id (":/bitmaps/<id>.bmp"); 1 when loaded, else 0 and the
    // bitmap held before is kept.
    virtual int LoadDIBitmap(unsigned resourceId);
    // Stretches the whole bitmap into the rectangle, copying it; the number of scan lines
    // drawn, 0 with no bitmap.
    virtual int Draw(QPainter& dc, int x, int y, int width, int height);
    // The same, combined with what is there by the raster operation (SRCAND, SRCPAINT...);
    // 0 and nothing drawn for an operation not listed above.
    virtual int DrawEx(QPainter& dc, int x, int y, int width, int height, unsigned long rop);
    // Sets a colour-table entry; 0 with no bitmap or an index not below m_nColors.
    virtual int ChangePaletteEntry(int index, const QColor& colour);
    virtual int Width() const { return m_nWidth; }
    virtual int Height() const { return m_nHeight; }

    // The bytes of a Windows bitmap file: 1 when they hold a whole, uncompressed bitmap of 1, 4,
    // 8, 24 or 32 bits per pixel whose sizes fit the bytes, else 0 (nothing is read beyond).
    int LoadBitmapFile(const QByteArray& fileBytes);
    bool IsLoaded() const { return m_pDIB != nullptr; }

private:
    // The bitmap in 32-bit colour, rows top down.
    QImage ToImage() const;

    int m_nColors = 0;
    int m_nBitsOffset = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nMaxColors = 0;
    int m_nBitCount = 0;
    bool m_bTopDown = false;
    std::unique_ptr<std::uint8_t[]> m_pDIB;
};
