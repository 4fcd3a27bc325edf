#include "tests/scm/private_systemd.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>

namespace tlv::test {
namespace {

constexpr int kStartMs = 5000;

// A bus for this test alone: anyone on it may own any name and call anything.
void WriteBusConfig(const std::string& file, const std::string& socket) {
    std::ofstream(file) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus "
                           "Configuration 1.0//EN\"\n"
                           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                           "<busconfig><type>custom</type><listen>unix:path="
                        << socket
                        << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                           "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                           "<allow own=\"*\"/></policy></busconfig>\n";
}

QString FirstLine(QProcess& process) {
    if (!process.waitForReadyRead(kStartMs))
        return {};
    return QString::fromUtf8(process.readLine()).trimmed();
}

void Stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(kStartMs)) {
        process.kill();
        process.waitForFinished(kStartMs);
    }
}

}  // namespace

PrivateSystemd::PrivateSystemd(const QStringList& mockOptions)
    : m_strUnitFolder(m_dir.path() + "/units") {
    mkdir(m_strUnitFolder.c_str(), 0755);
    const std::string config = m_dir.path() + "/bus.conf";
    WriteBusConfig(config, m_dir.path() + "/bus");
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--config-file=") + QString::fromStdString(config),
                 QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    const QString address = FirstLine(m_bus);
    if (address.isEmpty()) {
        ADD_FAILURE() << "dbus-daemon did not start: " << m_bus.errorString().toStdString();
        return;
    }
    m_systemd.start(QStringLiteral(MOCK_SYSTEMD),
                    QStringList{"--bus", address, "--unit-dir",
                                QString::fromStdString(m_strUnitFolder), "--log",
                                QString::fromStdString(m_dir.path() + "/calls.log")} +
                        mockOptions);
    if (FirstLine(m_systemd) != "ready") {
        ADD_FAILURE() << "mock_systemd did not start";
        return;
    }
    setenv("TLV_SERVICE_MANAGER", "systemd", 1);
    setenv("TLV_SYSTEMD_BUS", address.toLocal8Bit().constData(), 1);
    setenv("TLV_SYSTEMD_UNIT_DIR", m_strUnitFolder.c_str(), 1);
    m_bReady = true;
}

PrivateSystemd::~PrivateSystemd() {
    unsetenv("TLV_SERVICE_MANAGER");
    unsetenv("TLV_SYSTEMD_BUS");
    unsetenv("TLV_SYSTEMD_UNIT_DIR");
    Stop(m_systemd);
    Stop(m_bus);
}

std::vector<std::string> PrivateSystemd::Calls() const {
    std::ifstream log(m_dir.path() + "/calls.log");
    std::vector<std::string> calls;
    for (std::string line; std::getline(log, line);)
        calls.push_back(line);
    return calls;
}

}  // namespace tlv::test
