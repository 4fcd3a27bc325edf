#include "checker/ismemberof.h"

int IsMemberOf(const CString& s, const Array<CString>& list) {
    for (int i = 0; i < list.Size(); ++i) {
        const CString* element = list[i];
        if (element != nullptr && *element == s) {
            return 1;
        }
    }
    return 0;
}

MemberIndex::MemberIndex(const Array<CString>& list) {
    m_members.reserve(static_cast<std::size_t>(list.Size()));
    for (int i = 0; i < list.Size(); ++i) {
        if (const CString* element = list[i]; element != nullptr) {
            m_members.insert(*element);
        }
    }
}

DestinationIndex::DestinationIndex(const Array<CString>& destinations) {
    m_slotByText.reserve(static_cast<std::size_t>(destinations.Size()));
    m_slotOf.reserve(static_cast<std::size_t>(destinations.Size()));
    for (int i = 0; i < destinations.Size(); ++i) {
        const auto [entry, added] = m_slotByText.emplace(TextAt(destinations, i), m_slotCount);
        m_slotCount += added ? 1 : 0;
        m_slotOf.push_back(entry->second);
    }
    m_matched.assign(m_slotCount, false);
}

bool DestinationIndex::Match(std::string_view endpoint) {
    const auto found = m_slotByText.find(endpoint);
    if (found == m_slotByText.end()) {
        return false;
    }
    m_matched[found->second] = true;
    return true;
}

bool DestinationIndex::Matched(int i) const {
    return i >= 0 && static_cast<std::size_t>(i) < m_slotOf.size() && m_matched[m_slotOf[i]];
}
