#include "views/columnwidths.h"

#include <algorithm>
#include <initializer_list>

#include "resources/stringtable.h"
#include "s100/symbols.h"

std::span<const ColumnSpec> ColumnsOf(ViewType type) {
    static const ColumnSpec profiles[] = {{IDS_COL_PROFILE_NAME, 180, ColumnTexts::Free},
                                          {IDS_COL_PROFILE_CLASS, 180, ColumnTexts::Free}};
    static const ColumnSpec services[] = {{IDS_COL_SERVICE_NAME, 160, ColumnTexts::Free},
                                          {IDS_COL_SERVICE_STATE, 80, ColumnTexts::States},
                                          {IDS_COL_SERVICE_TYPE, 120, ColumnTexts::Types}};
    static const ColumnSpec providers[] = {{IDS_COL_SP_NAME, 180, ColumnTexts::Free},
                                           {IDS_COL_SP_STATUS, 100, ColumnTexts::Availability}};
    switch (type) {
        case VT_Profiles:
            return profiles;
        case VT_Services:
            return services;
        case VT_ServiceProviders:
            return providers;
        default:
            return {};
    }
}

namespace {

void AddStates(const DisplayTexts& texts, QStringList& into) {
    for (const unsigned long state :
         std::initializer_list<unsigned long>{SVC_StateIdle, SVC_StateStarting, SVC_StateWaiting,
                                              SVC_StateRunning, SVC_StateStopping, SVC_StateFailed})
        into.append(StateText(texts, state));
    into.append(StateText(texts, 0));  // what an unknown state shows
}

void AddTypes(const DisplayTexts& texts, QStringList& into) {
    for (const unsigned long type :
         std::initializer_list<unsigned long>{SVC_Optional, SVC_Mandatory, SVC_Root, 0}) {
        into.append(TypeText(texts, type, 0));
        into.append(TypeText(texts, type, 1));
    }
}

}  // namespace

QStringList FixedTextsOf(const ColumnSpec& column, const DisplayTexts& texts) {
    QStringList fixed{StringTable::Load(column.headingId)};
    switch (column.texts) {
        case ColumnTexts::States:
            AddStates(texts, fixed);
            break;
        case ColumnTexts::Types:
            AddTypes(texts, fixed);
            break;
        case ColumnTexts::Availability:
            fixed.append(AvailabilityText(texts, 1));
            fixed.append(AvailabilityText(texts, 0));
            break;
        case ColumnTexts::Free:
            break;
    }
    return fixed;
}

int StartWidth(const ColumnSpec& column, const QStringList& fixedTexts,
               const TextMeasure& measure) {
    const int scaled =
        std::max(column.width, (column.width * measure.averageCharWidth + kReferenceCharWidth / 2) /
                                   kReferenceCharWidth);
    int widest = 0;
    for (const QString& text : fixedTexts)
        widest = std::max(widest, measure.advance(text));
    return std::max(scaled, widest + measure.padding);
}
