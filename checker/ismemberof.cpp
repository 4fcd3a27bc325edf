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
    Reserve(static_cast<std::size_t>(list.Size()));
    for (int i = 0; i < list.Size(); ++i) {
        if (const CString* element = list[i]; element != nullptr) {
            Add(*element);
        }
    }
}

void MemberIndex::Add(std::string_view s) {
    const std::size_t hash = Hash(s);
    if (Find(s, hash) != kNone) {
        return;
    }
    Reserve(m_texts.size() + 1);
    m_texts.emplace_back(s);
    Place(static_cast<std::uint32_t>(m_texts.size() - 1), hash);
}

void MemberIndex::Clear() {
    m_texts.clear();
    m_slots.clear();
}

std::uint32_t MemberIndex::Find(std::string_view s, std::size_t hash) const {
    if (m_slots.empty()) {
        return kNone;
    }
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = hash & mask; m_slots[slot] != 0; slot = (slot + 1) & mask) {
        if (m_texts[m_slots[slot] - 1] == s) {
            return static_cast<std::uint32_t>(slot);
        }
    }
    return kNone;
}

void MemberIndex::Reserve(std::size_t count) {
    if (count * 2 <= m_slots.size()) {
        return;
    }
    std::size_t size = 16;
    while (size < count * 2) {
        size *= 2;
    }
    m_texts.reserve(size / 2);
    m_slots.assign(size, 0);
    for (std::uint32_t member = 0; member < m_texts.size(); ++member) {
        Place(member, Hash(m_texts[member]));
    }
}

void MemberIndex::Place(std::uint32_t member, std::size_t hash) {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = hash & mask;
    while (m_slots[slot] != 0) {
        slot = (slot + 1) & mask;
    }
    m_slots[slot] = member + 1;
}
