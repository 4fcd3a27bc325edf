#include "session/ctstring.h"

#include <cctype>
#include <cstring>
#include <new>
#include <string>

namespace {

const char* TextOrEmpty(const char* text) {
    return text == nullptr ? "" : text;
}

// A heap copy of the text, or null when the allocation failed.
char* CopyOf(const char* text, std::size_t length) {
    char* copy = new (std::nothrow) char[length + 1];
    if (copy != nullptr) {
        std::memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
}

}  // namespace

SC_String::SC_String() : m_pText(CopyOf("", 0)) {}

SC_String::SC_String(const char* text) : m_pText(nullptr) {
    Assign(text);
}

SC_String::SC_String(const SC_String& other) : m_pText(nullptr) {
    Assign(other.m_pText);
}

SC_String::~SC_String() {
    delete[] m_pText;
}

SC_String& SC_String::operator=(const SC_String& other) {
    if (this != &other)
        Assign(other.m_pText);
    return *this;
}

SC_String& SC_String::operator=(const char* text) {
    Assign(text);  // copies before freeing, so a text inside this string's own buffer is safe
    return *this;
}

SC_String::operator const char*() const {
    return TextOrEmpty(m_pText);
}

long SC_String::CompareWith(const SC_String& other) const {
    const int result = std::strcmp(TextOrEmpty(m_pText), TextOrEmpty(other.m_pText));
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

long SC_String::InsensitiveCompareWith(const SC_String& other) const {
    const unsigned char* left = reinterpret_cast<const unsigned char*>(TextOrEmpty(m_pText));
    const unsigned char* right = reinterpret_cast<const unsigned char*>(TextOrEmpty(other.m_pText));
    for (;; ++left, ++right) {
        const int a = std::tolower(*left);
        const int b = std::tolower(*right);
        if (a != b)
            return a < b ? -1 : 1;
        if (a == 0)
            return 0;
    }
}

void SC_String::Concatenate(const SC_String& other) {
    if (m_pText == nullptr) {
        Assign(other.m_pText);
        return;
    }
    const std::size_t ownLength = std::strlen(m_pText);
    const char* tail = TextOrEmpty(other.m_pText);
    const std::size_t tailLength = std::strlen(tail);
    char* joined = new (std::nothrow) char[ownLength + tailLength + 1];
    if (joined == nullptr)
        return;  // the text stays as it was
    std::memcpy(joined, m_pText, ownLength);
    std::memcpy(joined + ownLength, tail, tailLength + 1);
    delete[] m_pText;
    m_pText = joined;
}

long SC_String::Length() const {
    return m_pText == nullptr ? 0 : static_cast<long>(std::strlen(m_pText));
}

void SC_String::Assign(const char* text) {
    const char* source = TextOrEmpty(text);
    char* copy = CopyOf(source, std::strlen(source));
    delete[] m_pText;
    m_pText = copy;
}

std::istream& operator>>(std::istream& input, SC_String& word) {
    std::string text;
    input >> std::ws;
    for (int next = input.peek(); next != std::char_traits<char>::eof(); next = input.peek()) {
        if (std::isspace(static_cast<unsigned char>(next)))
            break;
        text.push_back(static_cast<char>(input.get()));
    }
    word = text.c_str();
    return input;
}

std::ostream& operator<<(std::ostream& output, const SC_String& text) {
    return output << static_cast<const char*>(text);
}
