#pragma once
// An output stream that keeps what one server's run writes, so that runs on many threads can be
// printed whole and in order. Closing it (from any thread) drops everything written after: what
// a run given up on says while it ends is not the server's answer.

#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>

class CapturedStream final : public std::ostream {
public:
    CapturedStream() : std::ostream(&m_buffer) {}
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;

    void Close() { m_buffer.Close(); }
    std::string Text() const { return m_buffer.Text(); }

private:
    // No put area, so that every character goes through the lock.
    class Buffer final : public std::streambuf {
    public:
        void Close();
        std::string Text() const;

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* text, std::streamsize count) override;

    private:
        mutable std::mutex m_mutex;
        std::string m_text;
        bool m_bClosed = false;
    };

    Buffer m_buffer;
};
