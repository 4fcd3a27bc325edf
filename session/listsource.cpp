#include "session/listsource.h"

#include <cstring>
#include <utility>

namespace {

template <typename Number>
void AppendNumber(std::string& bytes, Number value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void AppendText(std::string& bytes, const char* text) {
    bytes.append(text, std::strlen(text) + 1);
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
    std::string bytes;
    AppendNumber(bytes, count);
    for (int i = 0; i < count; ++i) {
        AppendText(bytes, names[i]);
        AppendText(bytes, classes[i]);
    }
    return bytes;
}

std::string ServiceListBytes(const SC_String* names, const unsigned long* states,
                             const unsigned long* types, const long* disabled, int count) {
    std::string bytes;
    AppendNumber(bytes, count);
    for (int i = 0; i < count; ++i) {
        AppendText(bytes, names[i]);
        AppendNumber(bytes, states[i]);
        AppendNumber(bytes, types[i]);
        AppendNumber(bytes, disabled[i]);
    }
    return bytes;
}

std::string SPListBytes(const SC_String* names, const long* available, int count) {
    std::string bytes;
    AppendNumber(bytes, count);
    for (int i = 0; i < count; ++i) {
        AppendText(bytes, names[i]);
        AppendNumber(bytes, available[i]);
    }
    return bytes;
}
