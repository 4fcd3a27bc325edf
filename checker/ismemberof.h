#pragma once
// Membership of a string in a list of strings: exact, whole-string, case-sensitive.

#include <string>
#include <unordered_set>

#include "checker/array.h"
#include "checker/checkmessage.h"

// 1 when some element of list equals s exactly, else 0. Null slots are skipped.
int IsMemberOf(const CString& s, const Array<CString>& list);

// The same test as IsMemberOf, answered from a hash set built once over a list, for rules
// that ask about every element of one list against another. Elements added with Add count
// from then on, so a list that grows while it is searched can keep its index current.
class MemberIndex final {
public:
    MemberIndex() = default;
    explicit MemberIndex(const Array<CString>& list);

    void Add(const CString& s) { m_members.insert(s); }
    bool Contains(const CString& s) const { return m_members.count(s) != 0; }
    void Clear() { m_members.clear(); }

private:
    std::unordered_set<CString> m_members;
};
