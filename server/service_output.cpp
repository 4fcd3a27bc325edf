#include "server/service_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/text/shownbytes.h"
#include "server/log.h"

namespace tlv::server {

void OutputTail::append(std::string_view line) {
    std::string kept{line.substr(0, kMaxLineBytes)};
    m_bytes += kept.size();
    m_lines.push_back(std::move(kept));
    while (m_lines.size() > kMaxLines || m_bytes > kMaxBytes) {
        m_bytes -= m_lines.front().size();
        m_lines.pop_front();
    }
}

ServiceLog::ServiceLog(const std::string& path) {
    if (!path.empty()) {
        m_fd.Reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
        if (m_fd.Get() < 0) {
            logEvent("cannot open %s: the services' output is not logged", path.c_str());
        }
    }
}

void ServiceLog::write(const std::string& serviceName, std::string_view line) {
    if (m_fd.Get() < 0) {
        return;
    }
    std::string record = isoTime(std::chrono::system_clock::now());
    record += ' ';
    record += printable(serviceName);
    record += ": ";
    record += tlv::platform::ShownBytes(line);  // already bounded by the capture
    record += '\n';
    // One write per line: O_APPEND keeps lines of other writers whole.
    const char* data = record.data();
    std::size_t left = record.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd.Get(), data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;  // a full disk loses log lines, never the server
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

OutputCapture::OutputCapture(asio::io_context& io, int readEnd, std::string serviceName,
                             std::shared_ptr<ServiceLog> log, std::shared_ptr<OutputTail> tail)
    : m_pipe(io, readEnd),
      m_serviceName(std::move(serviceName)),
      m_log(std::move(log)),
      m_tail(std::move(tail)) {
    const int flags = fcntl(readEnd, F_GETFL);
    fcntl(readEnd, F_SETFL, flags | O_NONBLOCK);
}

void OutputCapture::start() {
    readMore();
}

void OutputCapture::readMore() {
    m_pipe.async_read_some(asio::buffer(m_buffer), [self = shared_from_this()](
                                                       const asio::error_code& error,
                                                       std::size_t count) {
        if (error == asio::error::operation_aborted || !self->m_pipe.is_open()) {
            return;
        }
        self->consume(self->m_buffer.data(), count);
        if (error) {
            self->close();  // the writers are gone
            return;
        }
        self->readMore();
    });
}

void OutputCapture::drain() {
    if (!m_pipe.is_open()) {
        return;
    }
    for (;;) {
        const ssize_t count = ::read(m_pipe.native_handle(), m_buffer.data(), m_buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return;
        }
        consume(m_buffer.data(), static_cast<std::size_t>(count));
    }
}

void OutputCapture::close() {
    if (!m_pipe.is_open()) {
        return;
    }
    flushPartial();
    asio::error_code ignored;
    m_pipe.close(ignored);
}

void OutputCapture::consume(const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes[i] == '\n') {
            emit(m_pending);
            m_pending.clear();
            continue;
        }
        m_pending += bytes[i];
        if (m_pending.size() >= kMaxPendingBytes) {
            emit(m_pending);
            m_pending.clear();
        }
    }
}

void OutputCapture::emit(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    m_log->write(m_serviceName, line);
    m_tail->append(line);
}

void OutputCapture::flushPartial() {
    if (!m_pending.empty()) {
        emit(m_pending);
        m_pending.clear();
    }
}

}  // namespace tlv::server
