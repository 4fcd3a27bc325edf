#include "checker/ismemberof.h"

int IsMemberOf(const std::string& s, const Array<std::string>& list) {
    for (int i = 0; i < list.Size(); ++i) {
        const std::string* element = list[i];
        if (element != nullptr && *element == s) {
            return 1;
        }
    }
    return 0;
}

MemberIndex::MemberIndex(const Array<std::string>& list) {
    Reserve(static_cast<std::size_t>(list.Size()));
    for (int i = 0; i < list.Size(); ++i) {
        if (const std::string* element = list[i]; element != nullptr) {
            Add(*element);
        }
    }
}

std::uint32_t MemberIndex::Add(std::string_view s) {
    const std::size_t hash = Hash(s);
    if (const std::uint32_t known = Find(s, hash); known != SlotTable::kNone) {
        return known;
    }
    Reserve(m_texts.size() + 1);
    m_texts.emplace_back(s);
    const auto position = static_cast<std::uint32_t>(m_texts.size() - 1);
    m_table.Place(position, hash);
    return position;
}

void MemberIndex::Clear() {
    m_texts.clear();
    m_table.Clear();
}

std::uint32_t MemberIndex::Find(std::string_view s, std::size_t hash) const {
    return m_table.Find(hash, [this, s](std::uint32_t member) { return m_texts[member] == s; });
}

void MemberIndex::Reserve(std::size_t count) {
    if (m_table.Fits(count)) {
        return;
    }
    m_table.Reset(count);
    m_texts.reserve(count);
    for (std::uint32_t member = 0; member < m_texts.size(); ++member) {
        m_table.Place(member, Hash(m_texts[member]));
    }
}
