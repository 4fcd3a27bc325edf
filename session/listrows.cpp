#include "session/listrows.h"

#include <cstring>
#include <new>

namespace {

// Appends rows behind each other in the order they are added.
class ChainBuilder final {
public:
    // A new row behind the last one, or null (noted as missing) when it cannot be allocated.
    CViewLine* Append() {
        CViewLine* row = new (std::nothrow) CViewLine;
        if (row == nullptr) {
            m_rows.rowMissing = true;
            return nullptr;
        }
        if (m_pTail == nullptr)
            m_rows.head.reset(row);
        else
            m_pTail->Link(row);
        m_pTail = row;
        return row;
    }
    BuiltRows Take() { return std::move(m_rows); }

private:
    BuiltRows m_rows;
    CViewLine* m_pTail = nullptr;
};

}  // namespace

BuiltRows BuildProfileRows(const SC_String* names, const SC_String* classes, int count,
                           const CString& serviceClass) {
    ChainBuilder chain;
    // Rows in name order mostly repeat the class of the row before: its text is made once and
    // shared rather than made again for every row.
    const char* lastClass = nullptr;
    CString profileClass;
    for (int i = 0; i < count; ++i) {
        if (lastClass == nullptr || std::strcmp(lastClass, classes[i]) != 0) {
            lastClass = classes[i];
            profileClass = FromServerText(lastClass);
        }
        if (profileClass == serviceClass)
            continue;
        if (CViewLine* row = chain.Append()) {
            row->SetItem(0, FromServerText(names[i]));
            row->SetItem(1, profileClass);
        }
    }
    return chain.Take();
}

BuiltRows BuildServiceRows(const DisplayTexts& texts, const SC_String* names,
                           const unsigned long* states, const unsigned long* types,
                           const long* disabled, int count) {
    ChainBuilder chain;
    for (int i = 0; i < count; ++i) {
        if (CViewLine* row = chain.Append()) {
            row->SetItem(0, FromServerText(names[i]));
            row->SetItem(1, StateText(texts, states[i]));
            row->SetItem(2, TypeText(texts, types[i], disabled[i]));
        }
    }
    return chain.Take();
}

BuiltRows BuildSPRows(const DisplayTexts& texts, const SC_String* names, const long* available,
                      int count) {
    ChainBuilder chain;
    for (int i = 0; i < count; ++i) {
        if (CViewLine* row = chain.Append()) {
            row->SetItem(0, FromServerText(names[i]));
            row->SetItem(1, AvailabilityText(texts, available[i]));
        }
    }
    return chain.Take();
}
