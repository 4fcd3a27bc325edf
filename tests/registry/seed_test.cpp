// A user's registry that does not exist yet starts as a copy of the machine-wide one; an
// existing one, or a file named by TLV_REGISTRY, is never touched.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <filesystem>
#include <string>

#include "config/registry.h"
#include "platform/registry/regapi.h"
#include "tests/registry/temp_registry.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kEnvironment = "SOFTWARE\\Kestrova\\TLVS Client\\Environment";

std::string RootPath() {
    NT_RegKey key(HKEY_LOCAL_MACHINE, kEnvironment, KEY_READ);
    std::array<char, 64> text{};
    return key.GetValue("RootPath", text.data(), text.size()) ? text.data() : "(none)";
}

void SetRootPath(const char* root) {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEnvironment, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    NT_RegKey key(created);
    ASSERT_EQ(key.SetValue("RootPath", root), 1);
}

void UseHomeRegistry(const fs::path& config) {
    unsetenv("TLV_REGISTRY");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    std::string message;
    ASSERT_EQ(RegUseRegistryFile("", &message), ERROR_SUCCESS) << message;
}

TEST(RegistrySeed, NewUserRegistryStartsAsACopyOfTheMachinesOnce) {
    const TempRegistry folder;  // the machine-wide registry, written as a package would
    const fs::path machine = folder.File();
    SetRootPath("/opt/kestrova");
    setenv("TLV_MACHINE_REGISTRY", machine.c_str(), 1);

    UseHomeRegistry(fs::path(folder.Folder()) / "alice");
    EXPECT_TRUE(fs::exists(fs::path(folder.Folder()) / "alice/kestrova/registry.db"));
    EXPECT_EQ(RootPath(), "/opt/kestrova");
    SetRootPath("/home/alice/telvane");  // her own from now on

    UseHomeRegistry(fs::path(folder.Folder()) / "alice");
    EXPECT_EQ(RootPath(), "/home/alice/telvane");
    EXPECT_EQ(RegUseRegistryFile(machine.string()), ERROR_SUCCESS);
    EXPECT_EQ(RootPath(), "/opt/kestrova");  // the copy's changes stay in the copy

    // Named explicitly, a new file starts empty; without a machine registry, too.
    setenv("TLV_REGISTRY", (fs::path(folder.Folder()) / "named.db").c_str(), 1);
    ASSERT_EQ(RegUseRegistryFile(""), ERROR_SUCCESS);
    EXPECT_EQ(RootPath(), "(none)");
    setenv("TLV_MACHINE_REGISTRY", (fs::path(folder.Folder()) / "absent.db").c_str(), 1);
    UseHomeRegistry(fs::path(folder.Folder()) / "bob");
    EXPECT_EQ(RootPath(), "(none)");

    unsetenv("TLV_MACHINE_REGISTRY");
    unsetenv("XDG_CONFIG_HOME");
    setenv("TLV_REGISTRY", folder.File().c_str(), 1);
}

TEST(RegistrySeed, ReadingWithoutAUserRegistryReadsTheMachinesAndCreatesNothingElse) {
    const TempRegistry folder;
    SetRootPath("/opt/kestrova");
    setenv("TLV_MACHINE_REGISTRY", folder.File().c_str(), 1);
    unsetenv("TLV_REGISTRY");
    const fs::path carol = fs::path(folder.Folder()) / "carol";
    setenv("XDG_CONFIG_HOME", carol.c_str(), 1);
    std::string message;
    ASSERT_EQ(RegUseExistingRegistryFile("", &message), ERROR_SUCCESS) << message;
    EXPECT_EQ(RootPath(), "/opt/kestrova");

    // Without a machine registry, or with a file named, a missing registry stays missing.
    const fs::path dave = fs::path(folder.Folder()) / "dave";
    setenv("XDG_CONFIG_HOME", dave.c_str(), 1);
    setenv("TLV_MACHINE_REGISTRY", (fs::path(folder.Folder()) / "absent.db").c_str(), 1);
    EXPECT_EQ(RegUseExistingRegistryFile("", &message), ERROR_FILE_NOT_FOUND);
    setenv("TLV_MACHINE_REGISTRY", folder.File().c_str(), 1);
    const fs::path named = fs::path(folder.Folder()) / "named.db";
    EXPECT_EQ(RegUseExistingRegistryFile(named.string(), &message), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists(dave));
    EXPECT_FALSE(fs::exists(named));

    unsetenv("TLV_MACHINE_REGISTRY");
    unsetenv("XDG_CONFIG_HOME");
    setenv("TLV_REGISTRY", folder.File().c_str(), 1);
}

}  // namespace
