#pragma once
// The widths a list's columns start at. The table's widths were chosen for the small system
// font of the desktops the client first ran on; ours is larger. So each width grows in
// proportion to the font in use, and a column still too narrow for one of its fixed texts (its
// heading, a state such as "Idle [Failed]", a type with its " [Disabled]" marker) grows to show
// it whole. Free texts (names, classes) may still be cut, as in any list: the operator can widen
// their columns.

#include <QString>
#include <QStringList>
#include <functional>
#include <span>

#include "session/displaytexts.h"
#include "views/viewtype.h"

// Which fixed texts a column can show besides free ones.
enum class ColumnTexts { Free, States, Types, Availability };

struct ColumnSpec {
    unsigned headingId;
    int width;  // in pixels of the reference font
    ColumnTexts texts;
};

// The columns of a list type, in order; none for a type that is not a list.
std::span<const ColumnSpec> ColumnsOf(ViewType type);

// Every fixed text the column can show, its heading first.
QStringList FixedTextsOf(const ColumnSpec& column, const DisplayTexts& texts);

// How text is measured where the columns are shown.
struct TextMeasure {
    std::function<int(const QString&)> advance;  // the width of a text
    int averageCharWidth = 0;
    int padding = 0;  // what a cell or heading takes beside its text
};

// The width of the column's text in the reference font's average character.
inline constexpr int kReferenceCharWidth = 6;

int StartWidth(const ColumnSpec& column, const QStringList& fixedTexts, const TextMeasure& measure);
