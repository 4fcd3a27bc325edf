#pragma once
// CViewLine: one row of a list as display texts, up to ten cells, linked into a chain that its
// first row owns. Chains are handed from the document to the views as deep copies.
//
// Chains can be long (every profile of a server), so copying, comparing and destroying walk
// the chain in a loop rather than recursing.

#include <QString>
#include <array>
#include <memory>

using CString = QString;

class CViewLine final {
public:
    static constexpr int kMaxItems = 10;

    CViewLine() = default;
    // Deep copy of this row and every row after it.
    CViewLine(const CViewLine& other);
    CViewLine& operator=(const CViewLine&) = delete;
    // Destroys the rest of the chain as well.
    ~CViewLine();

    // Indexes of 10 or more are ignored; a lower one raises the cell count to index + 1.
    void SetItem(int index, const CString& text);
    // The cell, or "ERROR" for an index of 10 or more.
    CString& GetItem(int index);
    const CString& GetItem(int index) const;

    // Makes next the following row; the row takes ownership (a chain it held is destroyed).
    void Link(CViewLine* next);
    CViewLine* Next() const { return m_pNext.get(); }

    // Rows from this one to the end of the chain.
    int Count() const;
    // Cells in use: 1 + the highest index ever set, 0 for a new row.
    int NumberOfItems() const { return m_nItems; }

    // 1 when both chains have as many rows and each pair of rows the same cell count and the
    // same texts (exact, case-sensitive) in every cell in use.
    int operator==(const CViewLine& other) const;

private:
    bool SameRow(const CViewLine& other) const;

    static CString _badItem;

    int m_nItems = 0;
    std::array<CString, kMaxItems> m_cells;
    std::unique_ptr<CViewLine> m_pNext;
};
