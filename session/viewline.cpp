#include "session/viewline.h"

CString CViewLine::_badItem = QStringLiteral("ERROR");

CViewLine::CViewLine(const CViewLine& other) : m_nItems(other.m_nItems), m_cells(other.m_cells) {
    CViewLine* tail = this;
    for (const CViewLine* source = other.Next(); source != nullptr; source = source->Next()) {
        auto copy = std::make_unique<CViewLine>();
        copy->m_nItems = source->m_nItems;
        copy->m_cells = source->m_cells;
        tail->m_pNext = std::move(copy);
        tail = tail->m_pNext.get();
    }
}

CViewLine::~CViewLine() {
    // Each step frees one row after detaching its successor, so no destructor recurses.
    std::unique_ptr<CViewLine> rest = std::move(m_pNext);
    while (rest)
        rest = std::move(rest->m_pNext);
}

void CViewLine::SetItem(int index, const CString& text) {
    if (index < 0 || index >= kMaxItems)
        return;
    m_cells[static_cast<std::size_t>(index)] = text;
    if (m_nItems < index + 1)
        m_nItems = index + 1;
}

CString& CViewLine::GetItem(int index) {
    if (index < 0 || index >= kMaxItems)
        return _badItem;
    return m_cells[static_cast<std::size_t>(index)];
}

const CString& CViewLine::GetItem(int index) const {
    if (index < 0 || index >= kMaxItems)
        return _badItem;
    return m_cells[static_cast<std::size_t>(index)];
}

void CViewLine::Link(CViewLine* next) {
    m_pNext.reset(next);
}

int CViewLine::Count() const {
    int count = 0;
    for (const CViewLine* line = this; line != nullptr; line = line->Next())
        ++count;
    return count;
}

bool CViewLine::SameRow(const CViewLine& other) const {
    if (m_nItems != other.m_nItems)
        return false;
    for (int i = 0; i < m_nItems; ++i) {
        if (m_cells[static_cast<std::size_t>(i)] != other.m_cells[static_cast<std::size_t>(i)])
            return false;
    }
    return true;
}

int CViewLine::operator==(const CViewLine& other) const {
    const CViewLine* left = this;
    const CViewLine* right = &other;
    while (left != nullptr && right != nullptr) {
        if (!left->SameRow(*right))
            return 0;
        left = left->Next();
        right = right->Next();
    }
    return left == nullptr && right == nullptr ? 1 : 0;
}
