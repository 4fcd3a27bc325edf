// The lamp bitmaps: loading from the resources, damaged bitmaps refused, the two raster
// operations, the colour-table change.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include "resources/resourceids.h"
#include "views/dibitmap.h"
#include "views/serverst.h"

namespace tlv::test {
namespace {

constexpr QRgb kBackground = 0xFFD4D0C8;
constexpr QRgb kBrightGreen = 0xFF00FF00;
constexpr QRgb kDarkGreen = 0xFF008000;

QByteArray LampFile(unsigned resourceId) {
    CDIBitmap registersTheResources;
    registersTheResources.LoadDIBitmap(resourceId);
    QFile file(QStringLiteral(":/bitmaps/%1.bmp").arg(resourceId));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void PutU32(QByteArray& bytes, int offset, std::uint32_t value) {
    qToLittleEndian(value, bytes.data() + offset);
}

QImage Canvas(int side = 24) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(kBackground);
    return image;
}

// The mask by AND, then the lamp by OR, as the status view draws a lamp.
QImage LampOnBackground(CDIBitmap& mask, CDIBitmap& lamp, int side) {
    QImage image = Canvas(side);
    QPainter painter(&image);
    mask.DrawEx(painter, 0, 0, side, side, SRCAND);
    lamp.DrawEx(painter, 0, 0, side, side, SRCPAINT);
    return image;
}

TEST(DIBitmap, LampResourcesLoadAs24By24And16Colours) {
    for (const unsigned id : {IDB_LAMP_LIT, IDB_LAMP_UNLIT, IDB_LAMP_MASK}) {
        CDIBitmap bitmap;
        EXPECT_EQ(bitmap.LoadDIBitmap(id), 1) << id;
        EXPECT_EQ(bitmap.Width(), 24);
        EXPECT_EQ(bitmap.Height(), 24);
        EXPECT_EQ(bitmap.ChangePaletteEntry(15, Qt::white), 1);
        EXPECT_EQ(bitmap.ChangePaletteEntry(16, Qt::white), 0);
    }
    CDIBitmap missing;
    EXPECT_EQ(missing.LoadDIBitmap(138), 0);
    EXPECT_EQ(missing.ChangePaletteEntry(0, Qt::white), 0);
}

TEST(DIBitmap, MaskAndLampShowTheDiscWithoutItsBlackCorners) {
    CDIBitmap mask, lit, dark;
    ASSERT_EQ(mask.LoadDIBitmap(IDB_LAMP_MASK), 1);
    ASSERT_EQ(lit.LoadDIBitmap(IDB_LAMP_LIT), 1);
    ASSERT_EQ(dark.LoadDIBitmap(IDB_LAMP_UNLIT), 1);
    const QImage litImage = LampOnBackground(mask, lit, 24);
    EXPECT_EQ(litImage.pixel(0, 0), kBackground);
    EXPECT_EQ(litImage.pixel(23, 23), kBackground);
    EXPECT_EQ(litImage.pixel(14, 14), kBrightGreen);
    EXPECT_EQ(LampOnBackground(mask, dark, 24).pixel(14, 14), kDarkGreen);

    // Stretched to twice the size: every pixel repeated, none blended.
    const QImage stretched = LampOnBackground(mask, lit, 48);
    EXPECT_EQ(stretched.pixel(0, 0), kBackground);
    EXPECT_EQ(stretched.pixel(28, 28), kBrightGreen);
}

TEST(DIBitmap, ChangedPaletteEntryShowsInTheNextDraw) {
    CDIBitmap lit;
    ASSERT_EQ(lit.LoadDIBitmap(IDB_LAMP_LIT), 1);
    QImage image = Canvas();
    {
        QPainter painter(&image);
        ASSERT_EQ(lit.ChangePaletteEntry(7, QColor(0x12, 0x34, 0x56)), 1);
        EXPECT_EQ(lit.Draw(painter, 0, 0, 24, 24), 24);
    }
    EXPECT_EQ(image.pixel(12, 1), qRgb(0x12, 0x34, 0x56));  // the outer ring
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));            // copied: the corners are black
}

TEST(DIBitmap, DamagedBitmapIsNotLoadedAndNotDrawn) {
    const QByteArray good = LampFile(IDB_LAMP_LIT);
    ASSERT_EQ(good.size(), 14 + 40 + 64 + 288);

    std::vector<std::pair<const char*, QByteArray>> damaged;
    damaged.emplace_back("truncated bits", good.left(good.size() - 1));
    damaged.emplace_back("header only", good.left(14 + 30));
    damaged.emplace_back("empty", QByteArray());
    QByteArray taller = good;
    PutU32(taller, 14 + 8, 4000);
    damaged.emplace_back("height beyond the bits", taller);
    QByteArray bigImage = good;
    PutU32(bigImage, 14 + 20, 0x7FFFFFFF);
    damaged.emplace_back("image size beyond the file", bigImage);
    QByteArray manyColours = good;
    PutU32(manyColours, 14 + 32, 17);
    damaged.emplace_back("more colours than 4 bits hold", manyColours);
    QByteArray hugeHeader = good;
    PutU32(hugeHeader, 14, 0xFFFFFFF0);
    damaged.emplace_back("header size", hugeHeader);
    QByteArray movedBits = good;
    PutU32(movedBits, 10, 200);
    damaged.emplace_back("bits offset", movedBits);
    QByteArray compressed = good;
    PutU32(compressed, 14 + 16, 2);
    damaged.emplace_back("run-length compressed", compressed);
    QByteArray notBitmap = good;
    notBitmap[0] = 'X';
    damaged.emplace_back("no BM", notBitmap);

    for (const auto& [what, bytes] : damaged) {
        CDIBitmap bitmap;
        EXPECT_EQ(bitmap.LoadBitmapFile(bytes), 0) << what;
        EXPECT_FALSE(bitmap.IsLoaded()) << what;
        QImage image = Canvas();
        {
            QPainter painter(&image);
            EXPECT_EQ(bitmap.DrawEx(painter, 0, 0, 24, 24, SRCPAINT), 0) << what;
            EXPECT_EQ(bitmap.Draw(painter, 0, 0, 24, 24), 0) << what;
        }
        EXPECT_EQ(image, Canvas()) << what;
    }

    // A failed load keeps the bitmap held before.
    CDIBitmap kept;
    ASSERT_EQ(kept.LoadBitmapFile(good), 1);
    EXPECT_EQ(kept.LoadBitmapFile(taller), 0);
    EXPECT_TRUE(kept.IsLoaded());
    EXPECT_EQ(kept.Height(), 24);
}

TEST(DIBitmap, UnknownRasterOperationDrawsNothing) {
    CDIBitmap lit;
    ASSERT_EQ(lit.LoadDIBitmap(IDB_LAMP_LIT), 1);
    QImage image = Canvas();
    {
        QPainter painter(&image);
        EXPECT_EQ(lit.DrawEx(painter, 0, 0, 24, 24, 0x00BB0226), 0);  // MERGEPAINT
    }
    EXPECT_EQ(image, Canvas());
}

}  // namespace
}  // namespace tlv::test
