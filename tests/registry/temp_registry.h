#pragma once
// A registry file in a fresh temporary folder, made the process's registry for one test.

#include <string>

class TempRegistry final {
public:
    TempRegistry();
    ~TempRegistry();
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    const std::string& Folder() const { return m_strFolder; }
    const std::string& File() const { return m_strFile; }

private:
    std::string m_strFolder;
    std::string m_strFile;
};
