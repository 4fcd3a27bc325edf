#pragma once
// OutArray: an array-new out-parameter of a session call, handed to the unique_ptr it was made
// for when the call's full expression ends, as C++23's std::out_ptr does for smart pointers.
// The owner takes whatever the call left there, null included.
//
//     std::unique_ptr<SC_String[]> names;
//     std::unique_ptr<long[]> available;
//     const long ok = session.GetSPList(OutArray(names), OutArray(available), count);

#include <memory>

template <typename T>
class OutArray final {
public:
    explicit OutArray(std::unique_ptr<T[]>& owner) : m_owner(owner) {}
    ~OutArray() { m_owner.reset(m_array); }
    OutArray(const OutArray&) = delete;
    OutArray& operator=(const OutArray&) = delete;

    operator T*&() { return m_array; }  // NOLINT: the call's out-parameter binds to it

private:
    std::unique_ptr<T[]>& m_owner;
    T* m_array = nullptr;
};
