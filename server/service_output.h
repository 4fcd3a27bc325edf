#pragma once
// What the services write: read from a pipe per started process, appended line by line to
// services.log (each line with its time and the service's name), and the last lines kept per
// service for the status call.

#include <asio.hpp>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/filedescriptor.h"

namespace tlv::server {

// The last lines of one service's output, oldest first. At most kMaxLines lines of at most
// kMaxLineBytes each (longer ones are cut), and at most kMaxBytes in all: a status answer for
// thousands of services must still fit in one frame.
class OutputTail final {
public:
    static constexpr std::size_t kMaxLines = 20;
    static constexpr std::size_t kMaxLineBytes = 512;
    static constexpr std::size_t kMaxBytes = 4096;

    void append(std::string_view line);
    const std::deque<std::string>& lines() const { return m_lines; }

private:
    std::deque<std::string> m_lines;
    std::size_t m_bytes = 0;
};

// services.log, opened once for appending; "" keeps nothing.
class ServiceLog final {
public:
    explicit ServiceLog(const std::string& path);

    // "TIME NAME: line"
    void write(const std::string& serviceName, std::string_view line);

private:
    tlv::platform::FileDescriptor m_fd{-1};
};

// The reading end of one started process's output pipe. Reads on the event loop until the
// pipe closes; drain() takes what is already there (at an exit, before the exit is reported).
class OutputCapture final : public std::enable_shared_from_this<OutputCapture> {
public:
    OutputCapture(asio::io_context& io, int readEnd, std::string serviceName,
                  std::shared_ptr<ServiceLog> log, std::shared_ptr<OutputTail> tail);

    void start();
    void drain();
    // Stops reading; a partial last line is kept.
    void close();

private:
    static constexpr std::size_t kMaxPendingBytes = 4096;  // a longer line is split

    void readMore();
    void consume(const char* bytes, std::size_t count);
    void emit(std::string_view line);
    void flushPartial();

    asio::posix::stream_descriptor m_pipe;
    std::string m_serviceName;
    std::shared_ptr<ServiceLog> m_log;
    std::shared_ptr<OutputTail> m_tail;
    std::string m_pending;
    std::array<char, 4096> m_buffer{};
};

}  // namespace tlv::server
