#pragma once
// A registry file in a fresh temporary folder, made the process's registry for one test. The
// machine's registry is MachineFile() in the same folder, absent until a test writes it, so no
// test reads the registry of a package installed on this machine.

#include <string>

class TempRegistry final {
public:
    TempRegistry();
    ~TempRegistry();
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    const std::string& Folder() const { return m_strFolder; }
    const std::string& File() const { return m_strFile; }
    std::string MachineFile() const { return m_strFolder + "/machine.db"; }

private:
    std::string m_strFolder;
    std::string m_strFile;
};
