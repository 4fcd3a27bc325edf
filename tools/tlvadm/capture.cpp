#include "tools/tlvadm/capture.h"

void CapturedStream::Buffer::Close() {
    const std::lock_guard lock(m_mutex);
    m_bClosed = true;
}

std::string CapturedStream::Buffer::Text() const {
    const std::lock_guard lock(m_mutex);
    return m_text;
}

CapturedStream::Buffer::int_type CapturedStream::Buffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    const char character = traits_type::to_char_type(c);
    xsputn(&character, 1);
    return c;
}

std::streamsize CapturedStream::Buffer::xsputn(const char* text, std::streamsize count) {
    const std::lock_guard lock(m_mutex);
    if (!m_bClosed)
        m_text.append(text, static_cast<std::size_t>(count));
    return count;  // a closed stream swallows quietly: the run must not fail for it
}
