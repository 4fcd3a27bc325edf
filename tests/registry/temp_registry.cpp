#include "tests/registry/temp_registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/registry/regapi.h"

TempRegistry::TempRegistry() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tlvreg-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot create a temporary folder";
        return;
    }
    m_strFolder = pattern;
    m_strFile = m_strFolder + "/registry.db";
    setenv("TLV_REGISTRY", m_strFile.c_str(), 1);
    setenv("TLV_MACHINE_REGISTRY", MachineFile().c_str(), 1);
    std::string message;
    EXPECT_EQ(RegUseRegistryFile("", &message), ERROR_SUCCESS) << message;
}

TempRegistry::~TempRegistry() {
    std::error_code error;
    std::filesystem::remove_all(m_strFolder, error);
}
