#pragma once
// SC_String: the owned, NUL-terminated 8-bit string used on the session boundary.
//
// The text is a heap allocation owned by the object; an empty string is a one-byte allocation
// holding the terminator. Only a failed allocation leaves the pointer null, and every
// operation treats a null text as the empty string.

#include <istream>
#include <ostream>

class SC_String final {
public:
    SC_String();
    SC_String(const char* text);  // NOLINT: converts implicitly, like the C strings it stands for
    SC_String(const SC_String& other);
    ~SC_String();

    SC_String& operator=(const SC_String& other);
    SC_String& operator=(const char* text);

    operator const char*() const;  // NOLINT: hands the text to the C API as it is

    long CompareWith(const SC_String& other) const;
    long InsensitiveCompareWith(const SC_String& other) const;

    long operator==(const SC_String& other) const { return CompareWith(other) == 0; }
    long operator!=(const SC_String& other) const { return CompareWith(other) != 0; }
    long operator<(const SC_String& other) const { return CompareWith(other) < 0; }
    long operator>(const SC_String& other) const { return CompareWith(other) > 0; }

    void Concatenate(const SC_String& other);
    long Length() const;

private:
    // Replaces the text by a copy of the given one (null gives the empty string).
    void Assign(const char* text);

    char* m_pText;
};

// Skips white space and reads the next word (empty at the end of input); the stream is left
// just behind the word.
std::istream& operator>>(std::istream& input, SC_String& word);
std::ostream& operator<<(std::ostream& output, const SC_String& text);
