#include "views/dibitmap.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <cstring>
#include <new>
#include <optional>

#include "framework/modalseam.h"
#include "resources/stringtable.h"

namespace {

constexpr qint64 kFileHeaderSize = 14;
constexpr std::uint32_t kMinInfoSize = 40;   // BITMAPINFOHEADER
constexpr std::uint32_t kMaxInfoSize = 124;  // BITMAPV5HEADER
constexpr std::int32_t kMaxSide = 4096;
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB

// Where the parts of a bitmap lie, once its header has been checked against its length.
struct DibLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitCount = 0;
    int maxColors = 0;
    int colors = 0;
    std::size_t infoSize = 0;
    std::size_t imageSize = 0;

    std::size_t BitsOffset() const { return infoSize + 4 * static_cast<std::size_t>(colors); }
    std::size_t TotalSize() const { return BitsOffset() + imageSize; }
};

// Bytes per row of bits: rows are padded to whole 32-bit words.
std::size_t StrideOf(int width, int bitCount) {
    return ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
}

std::uint32_t U32(const std::uint8_t* at) {
    return qFromLittleEndian<std::uint32_t>(at);
}

std::uint16_t U16(const std::uint8_t* at) {
    return qFromLittleEndian<std::uint16_t>(at);
}

int MaxColorsOf(int bitCount) {
    switch (bitCount) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

bool IsSupportedDepth(int bitCount) {
    return MaxColorsOf(bitCount) != 0 || bitCount == 24 || bitCount == 32;
}

// The header of the DIB (info header, colour table, bits) checked against the bytes there are:
// a damaged or truncated bitmap gives nothing, so no count in it can lead a read astray.
std::optional<DibLayout> CheckDib(const std::uint8_t* dib, std::size_t length) {
    if (length < kMinInfoSize)
        return std::nullopt;
    const std::uint32_t infoSize = U32(dib);
    const auto width = static_cast<std::int32_t>(U32(dib + 4));
    const auto height = static_cast<std::int32_t>(U32(dib + 8));
    const int planes = U16(dib + 12);
    const int bitCount = U16(dib + 14);
    const std::uint32_t compression = U32(dib + 16);
    const std::uint32_t sizeImage = U32(dib + 20);
    const std::uint32_t colorsUsed = U32(dib + 32);
    if (infoSize < kMinInfoSize || infoSize > kMaxInfoSize || infoSize > length || planes != 1 ||
        compression != kUncompressed || !IsSupportedDepth(bitCount) || width < 1 ||
        width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide) {
        return std::nullopt;
    }
    DibLayout layout;
    layout.width = width;
    layout.height = height < 0 ? -height : height;
    layout.topDown = height < 0;
    layout.bitCount = bitCount;
    layout.maxColors = MaxColorsOf(bitCount);
    const std::uint32_t colorLimit = layout.maxColors != 0 ? layout.maxColors : 256;
    if (colorsUsed > colorLimit)
        return std::nullopt;
    layout.colors = colorsUsed != 0 ? static_cast<int>(colorsUsed) : layout.maxColors;
    layout.infoSize = infoSize;
    const std::size_t needed = StrideOf(layout.width, bitCount) * layout.height;
    layout.imageSize = sizeImage != 0 ? sizeImage : needed;
    if (layout.imageSize < needed || layout.TotalSize() > length)
        return std::nullopt;
    return layout;
}

// The colour of pixel x in a row of bits: a colour-table entry, or blue, green, red direct.
QRgb PixelOf(const std::uint8_t* row, int x, int bitCount, const std::uint8_t* table, int colors) {
    if (bitCount >= 24) {
        const std::uint8_t* pixel = row + static_cast<std::size_t>(x) * (bitCount / 8);
        return qRgb(pixel[2], pixel[1], pixel[0]);
    }
    const int perByte = 8 / bitCount;
    const int shift = (perByte - 1 - x % perByte) * bitCount;
    const int index = (row[x / perByte] >> shift) & ((1 << bitCount) - 1);
    if (index >= colors)
        return qRgb(0, 0, 0);
    const std::uint8_t* entry = table + 4 * index;
    return qRgb(entry[2], entry[1], entry[0]);
}

std::optional<QPainter::CompositionMode> CompositionOf(unsigned long rop) {
    switch (rop) {
        case SRCCOPY:
            return QPainter::CompositionMode_Source;
        case SRCPAINT:
            return QPainter::RasterOp_SourceOrDestination;
        case SRCAND:
            return QPainter::RasterOp_SourceAndDestination;
        case SRCINVERT:
            return QPainter::RasterOp_SourceXorDestination;
        default:
            return std::nullopt;
    }
}

}  // namespace

// The bitmaps live in a static library: its resources are registered before use. Outside any
// namespace, as the registration function is declared where it is called.
static QByteArray ReadBitmapResource(unsigned resourceId) {
    Q_INIT_RESOURCE(images);
    QFile file(QStringLiteral(":/bitmaps/%1.bmp").arg(resourceId));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kMaxFileSize + 1);
}

CDIBitmap::~CDIBitmap() = default;

int CDIBitmap::LoadDIBitmap(unsigned resourceId) {
    const QByteArray bytes = ReadBitmapResource(resourceId);
    return bytes.size() > kMaxFileSize ? 0 : LoadBitmapFile(bytes);
}

int CDIBitmap::LoadBitmapFile(const QByteArray& fileBytes) {
    if (fileBytes.size() < kFileHeaderSize || !fileBytes.startsWith("BM"))
        return 0;
    const auto* file = reinterpret_cast<const std::uint8_t*>(fileBytes.constData());
    const std::uint8_t* dib = file + kFileHeaderSize;
    const auto length = static_cast<std::size_t>(fileBytes.size() - kFileHeaderSize);
    const std::optional<DibLayout> layout = CheckDib(dib, length);
    // The copy keeps the bits right after the colour table; a file with a gap is not ours.
    if (!layout || U32(file + 10) != kFileHeaderSize + layout->BitsOffset())
        return 0;

    std::unique_ptr<std::uint8_t[]> copy(new (std::nothrow) std::uint8_t[layout->TotalSize()]);
    if (!copy) {
        Modal().MessageBox(StringTable::Load(IDS_DIB_ALLOCATION_FAILED),
                           StringTable::Load(IDS_DIB_ALLOCATION_CAPTION), MB_OK);
        return 0;
    }
    std::memcpy(copy.get(), dib, layout->TotalSize());
    m_pDIB = std::move(copy);
    m_nMaxColors = layout->maxColors;
    m_nColors = layout->colors;
    m_nWidth = layout->width;
    m_nHeight = layout->height;
    m_nBitCount = layout->bitCount;
    m_bTopDown = layout->topDown;
    m_nBitsOffset = static_cast<int>(layout->BitsOffset());
    return 1;
}

int CDIBitmap::ChangePaletteEntry(int index, const QColor& colour) {
    if (!m_pDIB || index < 0 || index >= m_nColors)
        return 0;
    const std::size_t infoSize = U32(m_pDIB.get());
    std::uint8_t* entry = m_pDIB.get() + infoSize + 4 * static_cast<std::size_t>(index);
    entry[0] = static_cast<std::uint8_t>(colour.blue());
    entry[1] = static_cast<std::uint8_t>(colour.green());
    entry[2] = static_cast<std::uint8_t>(colour.red());
    entry[3] = 0;
    return 1;
}

QImage CDIBitmap::ToImage() const {
    QImage image(m_nWidth, m_nHeight, QImage::Format_RGB32);
    const std::uint8_t* table = m_pDIB.get() + U32(m_pDIB.get());
    const std::uint8_t* bits = m_pDIB.get() + m_nBitsOffset;
    const std::size_t stride = StrideOf(m_nWidth, m_nBitCount);
    for (int row = 0; row < m_nHeight; ++row) {
        const std::uint8_t* source = bits + stride * row;
        auto* target =
            reinterpret_cast<QRgb*>(image.scanLine(m_bTopDown ? row : m_nHeight - 1 - row));
        for (int x = 0; x < m_nWidth; ++x)
            target[x] = PixelOf(source, x, m_nBitCount, table, m_nColors);
    }
    return image;
}

int CDIBitmap::Draw(QPainter& dc, int x, int y, int width, int height) {
    return DrawEx(dc, x, y, width, height, SRCCOPY);
}

int CDIBitmap::DrawEx(QPainter& dc, int x, int y, int width, int height, unsigned long rop) {
    const std::optional<QPainter::CompositionMode> mode = CompositionOf(rop);
    if (!m_pDIB || !mode || width <= 0 || height <= 0)
        return 0;
    dc.save();
    // Colour on colour: lines are dropped or repeated, never blended.
    dc.setRenderHint(QPainter::SmoothPixmapTransform, false);
    dc.setCompositionMode(*mode);
    dc.drawImage(QRect(x, y, width, height), ToImage());
    dc.restore();
    return m_nHeight;
}
