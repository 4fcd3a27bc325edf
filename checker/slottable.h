#pragma once
// SlotTable: where the members of a caller's list are, by hash: an open-addressing table of
// list positions, kept at most half full. It holds no member, so the caller tells it how to
// compare one; an index over many short texts so costs a few blocks, not a node per member.

#include <cstddef>
#include <cstdint>
#include <vector>

class SlotTable final {
public:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // Whether count members fit without a larger table.
    bool Fits(std::size_t count) const { return count * 2 <= m_slots.size(); }

    // An empty table with room for count members; the caller places its members again. The
    // size is a power of two, so a table grown one member at a time doubles.
    void Reset(std::size_t count) {
        std::size_t size = 16;
        while (size < count * 2) {
            size *= 2;
        }
        m_slots.assign(size, 0);
    }

    void Clear() { m_slots.clear(); }

    // The position of the member with this hash for which isMember(position) holds, or kNone.
    template <typename IsMember>
    std::uint32_t Find(std::size_t hash, IsMember isMember) const {
        if (m_slots.empty()) {
            return kNone;
        }
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = hash & mask; m_slots[slot] != 0; slot = (slot + 1) & mask) {
            if (isMember(m_slots[slot] - 1)) {
                return m_slots[slot] - 1;
            }
        }
        return kNone;
    }

    // Adds a member known to be absent; the table must have room (Fits).
    void Place(std::uint32_t position, std::size_t hash) {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t slot = hash & mask;
        while (m_slots[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        m_slots[slot] = position + 1;
    }

private:
    std::vector<std::uint32_t> m_slots;  // 0 is free, else a position + 1
};
