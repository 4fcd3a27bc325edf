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
    m_matched.reserve(static_cast<std::size_t>(destinations.Size()));
    for (int i = 0; i < destinations.Size(); ++i) {
        if (const CString* element = destinations[i]; element != nullptr) {
            m_matched.emplace(*element, false);
        }
    }
}

bool DestinationIndex::Match(std::string_view endpoint) {
    const auto found = m_matched.find(endpoint);
    if (found == m_matched.end()) {
        return false;
    }
    found->second = true;
    return true;
}

bool DestinationIndex::Matched(std::string_view destination) const {
    const auto found = m_matched.find(destination);
    return found != m_matched.end() && found->second;
}
