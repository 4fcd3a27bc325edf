#pragma once
// A private D-Bus daemon with mock_systemd on it, in a temporary folder, and the environment
// that points the service control manager at it (TLV_SERVICE_MANAGER, TLV_SYSTEMD_BUS,
// TLV_SYSTEMD_UNIT_DIR) while it lives. Both processes end with it.

#include <QProcess>
#include <QStringList>
#include <string>
#include <vector>

#include "tests/support/tlvsd_process.h"

namespace tlv::test {

class PrivateSystemd final {
public:
    // mockOptions: mock_systemd's --known, --masked and --deny options.
    explicit PrivateSystemd(const QStringList& mockOptions = {});
    ~PrivateSystemd();
    PrivateSystemd(const PrivateSystemd&) = delete;
    PrivateSystemd& operator=(const PrivateSystemd&) = delete;

    bool IsReady() const { return m_bReady; }
    const std::string& UnitFolder() const { return m_strUnitFolder; }
    // The calls mock_systemd has had, one "Member first-argument" a line.
    std::vector<std::string> Calls() const;

private:
    TempDir m_dir;
    std::string m_strUnitFolder;
    QProcess m_bus;
    QProcess m_systemd;
    bool m_bReady = false;
};

}  // namespace tlv::test
