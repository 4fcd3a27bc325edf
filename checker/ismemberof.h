#pragma once
// Membership of a string in a list of strings: exact, whole-string, case-sensitive.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "checker/array.h"
#include "checker/checkmessage.h"
#include "checker/slottable.h"

// Element i of list as a view, valid while the element is; empty when there is no such element.
inline std::string_view TextAt(const Array<std::string>& list, int i) {
    const std::string* element = list[i];
    return element != nullptr ? std::string_view(*element) : std::string_view();
}

// 1 when some element of list equals s exactly, else 0. Null slots are skipped.
int IsMemberOf(const std::string& s, const Array<std::string>& list);

// The same test as IsMemberOf, answered from a hash set built once over a list, for rules
// that ask about every element of one list against another. Elements added with Add count
// from then on, so a list that grows while it is searched can keep its index current.
class MemberIndex final {
public:
    MemberIndex() = default;
    explicit MemberIndex(const Array<std::string>& list);

    // The position of s among the members, in the order they were first added.
    std::uint32_t Add(std::string_view s);
    // Asked with a view, so that a caller need not make a string for each question.
    bool Contains(std::string_view s) const { return PositionOf(s) != SlotTable::kNone; }
    // The position of s, or SlotTable::kNone.
    std::uint32_t PositionOf(std::string_view s) const { return Find(s, Hash(s)); }
    void Clear();

private:
    static std::size_t Hash(std::string_view s) { return std::hash<std::string_view>{}(s); }
    std::uint32_t Find(std::string_view s, std::size_t hash) const;
    // Makes room for count members.
    void Reserve(std::size_t count);

    std::vector<std::string> m_texts;  // the members, in the order they were added
    SlotTable m_table;
};
