// The columns' start widths: the table's widths grown with the font, and wide enough for every
// fixed text a column shows.

#include "views/columnwidths.h"

#include <gtest/gtest.h>

namespace tlv::test {
namespace {

// Every character as wide as the font's average: a monospaced stand-in for a font.
TextMeasure Monospaced(int charWidth, int padding = 8) {
    return {[charWidth](const QString& text) { return charWidth * static_cast<int>(text.size()); },
            charWidth, padding};
}

int Start(ViewType type, std::size_t column, const TextMeasure& measure) {
    const ColumnSpec& columnDef = ColumnsOf(type)[column];
    return StartWidth(columnDef, FixedTextsOf(columnDef, DisplayTexts::Load()), measure);
}

TEST(ColumnWidths, TheTablesWidthsGrowWithTheFontAndNeverShrink) {
    // At the font the table was made for, a column whose texts fit keeps its width.
    EXPECT_EQ(Start(VT_Profiles, 0, Monospaced(kReferenceCharWidth)), 180);
    EXPECT_EQ(Start(VT_ServiceProviders, 0, Monospaced(kReferenceCharWidth)), 180);
    // A font half again as wide makes every width half again as wide, rounded.
    EXPECT_EQ(Start(VT_Profiles, 1, Monospaced(9)), 270);
    EXPECT_EQ(Start(VT_Services, 0, Monospaced(9)), 240);
    // A smaller font keeps the table's width: nothing gets narrower than it was.
    EXPECT_EQ(Start(VT_Profiles, 1, Monospaced(4)), 180);
    EXPECT_TRUE(ColumnsOf(VT_None).empty());
}

TEST(ColumnWidths, AColumnGrowsToShowEachOfItsFixedTextsWhole) {
    const DisplayTexts texts = DisplayTexts::Load();
    const QStringList states = FixedTextsOf(ColumnsOf(VT_Services)[1], texts);
    const QStringList types = FixedTextsOf(ColumnsOf(VT_Services)[2], texts);
    EXPECT_EQ(states.front(), "Service State");
    EXPECT_TRUE(states.contains("Idle [Failed]"));
    EXPECT_TRUE(types.contains("Optional [Disabled]"));
    EXPECT_TRUE(FixedTextsOf(ColumnsOf(VT_ServiceProviders)[1], texts).contains("Not Available"));
    EXPECT_EQ(FixedTextsOf(ColumnsOf(VT_Profiles)[0], texts), QStringList{"Profile Name"});

    // At any font, the widest fixed text and the padding fit: 80 pixels would cut
    // "Idle [Failed]" at 7 pixels a character.
    for (const int charWidth : {kReferenceCharWidth, 7, 12}) {
        const TextMeasure measure = Monospaced(charWidth, 10);
        for (const auto& [column, fixed] :
             {std::pair{std::size_t{1}, states}, std::pair{std::size_t{2}, types}}) {
            const int width = Start(VT_Services, column, measure);
            for (const QString& text : fixed)
                EXPECT_GE(width, measure.advance(text) + 10) << text.toStdString();
        }
    }
    EXPECT_GT(Start(VT_Services, 1, Monospaced(7)), 80 * 7 / kReferenceCharWidth);
}

}  // namespace
}  // namespace tlv::test
