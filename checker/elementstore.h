#pragma once
// ElementStore<T>: the room an Array's element copies live in, taken in order from chunks the
// store owns. A large array then costs one allocation per chunk rather than one per element,
// and freeing it as few: a map of a million destinations was spending more time in malloc and
// free than in reading. Elements are only ever given back all at once (Clear); the chunks then
// serve again from the first.

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>

template <typename T>
class ElementStore {
public:
    ElementStore() = default;
    ElementStore(const ElementStore&) = delete;
    ElementStore& operator=(const ElementStore&) = delete;

    // The elements must have been destroyed.
    ~ElementStore() {
        while (m_first != nullptr) {
            Chunk* const next = m_first->next;
            ::operator delete(m_first, kChunkAlignment);
            m_first = next;
        }
    }

    // Makes sure count more elements fit without another allocation, adding one chunk of
    // exactly the missing room. False when that chunk cannot be allocated.
    bool Reserve(int count) {
        int room = m_current != nullptr ? m_current->capacity - m_used : 0;
        Chunk* last = m_current;
        for (Chunk* chunk = FirstUnused(); chunk != nullptr; chunk = chunk->next) {
            room += chunk->capacity;
            last = chunk;
        }
        return room >= count || AddChunk(count - room, last) != nullptr;
    }

    // A new T made from source in the next free place; null when no place could be allocated.
    // When T's constructor throws, the place stays free.
    template <typename Source>
    T* Construct(Source&& source) {
        if (!MakeRoom()) {
            return nullptr;
        }
        T* const element = new (m_current->Place(m_used)) T(std::forward<Source>(source));
        ++m_used;
        return element;
    }

    // Every place is free again; the caller has destroyed the elements.
    void Clear() {
        m_current = nullptr;
        m_used = 0;
    }

private:
    // A chunk's header is followed, at an offset aligned for T, by room for capacity elements.
    struct Chunk {
        Chunk* next;
        int capacity;

        void* Place(int index) {
            return reinterpret_cast<std::byte*>(this) + kElementsOffset +
                   static_cast<std::size_t>(index) * sizeof(T);
        }
    };

    static constexpr std::size_t kElementsOffset =
        (sizeof(Chunk) + alignof(T) - 1) / alignof(T) * alignof(T);
    static constexpr std::align_val_t kChunkAlignment{std::max(alignof(Chunk), alignof(T))};
    // Without a reservation, each new chunk is as large as all chunks before it together,
    // within these bounds: small arrays stay small and a huge one wastes at most one chunk.
    static constexpr int kSmallestChunk = 4;
    static constexpr int kLargestChunk = 1024;

    Chunk* FirstUnused() const { return m_current != nullptr ? m_current->next : m_first; }

    bool MakeRoom() {
        while (m_current == nullptr || m_used == m_current->capacity) {
            Chunk* next = FirstUnused();
            if (next == nullptr) {
                next = AddChunk(std::clamp(m_totalCapacity, kSmallestChunk, kLargestChunk),
                                m_current);
                if (next == nullptr) {
                    return false;
                }
            }
            m_current = next;
            m_used = 0;
        }
        return true;
    }

    // A new chunk linked after last (or as the first one); null when it cannot be allocated.
    Chunk* AddChunk(int capacity, Chunk* last) {
        void* const memory = ::operator new(
            kElementsOffset + static_cast<std::size_t>(capacity) * sizeof(T), kChunkAlignment,
            std::nothrow);
        if (memory == nullptr) {
            return nullptr;
        }
        Chunk* const chunk = new (memory) Chunk{nullptr, capacity};
        (last != nullptr ? last->next : m_first) = chunk;
        m_totalCapacity += capacity;
        return chunk;
    }

    Chunk* m_first = nullptr;
    Chunk* m_current = nullptr;  // the chunk places are taken from; null before the first
    int m_used = 0;              // places taken in m_current
    int m_totalCapacity = 0;
};
