#include "session/listsource.h"

#include <cstring>
#include <type_traits>
#include <utility>

namespace {

template <typename Number>
void AppendNumber(std::string& bytes, Number value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void AppendText(std::string& bytes, const char* text) {
    bytes.append(text, std::strlen(text) + 1);
}

// The count, then each row's cells in column order.
template <typename... Column>
std::string RowBytes(int count, const Column*... columns) {
    std::string bytes;
    AppendNumber(bytes, count);
    const auto appendCell = [&bytes](const auto& cell) {
        if constexpr (std::is_arithmetic_v<std::decay_t<decltype(cell)>>)
            AppendNumber(bytes, cell);
        else
            AppendText(bytes, cell);
    };
    for (int i = 0; i < count; ++i)
        (appendCell(columns[i]), ...);
    return bytes;
}

}  // namespace

bool ListSource::Take(std::string answerBytes) {
    const bool same = m_bKnown && answerBytes == m_bytes;
    m_bytes = std::move(answerBytes);
    m_bKnown = true;
    return same;
}

void ListSource::Forget() {
    m_bKnown = false;
    m_bytes.clear();
}

std::string ProfileListBytes(const SC_String* names, const SC_String* classes, int count) {
    return RowBytes(count, names, classes);
}

std::string ServiceListBytes(const SC_String* names, const unsigned long* states,
                             const unsigned long* types, const long* disabled, int count) {
    return RowBytes(count, names, states, types, disabled);
}

std::string SPListBytes(const SC_String* names, const long* available, int count) {
    return RowBytes(count, names, available);
}
