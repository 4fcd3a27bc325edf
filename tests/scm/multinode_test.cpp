// The multinode setup without widgets: container path checks, the account proposal, the
// messages and the three registry writes, on a real registry file.
#include "config/multinode.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "config/sharepath.h"
#include "resources/stringtable.h"
#include "tests/config/regvalues.h"
#include "tests/registry/temp_registry.h"

namespace {

const char* kRemoteCPStart =
    "{IPC_KSTV_TransportProtocol: IPC_KSTV_ProtocolIPSocket IPC_KSTV_SocketIPHost: \"";
const char* kRemoteCPEnd = "\" IPC_KSTV_SocketIPPort: +1500}";

std::string HostName() {
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::string name(host);
    return name.substr(0, std::min(name.find('.'), std::size_t{15}));
}

TEST(Multinode, ResourceComputerComesAfterTheLeadingBackslashes) {
    EXPECT_EQ(ResourceComputerName("\\\\NODE\\TelvaneServer\\server\\cont\\"), "NODE");
    EXPECT_EQ(ResourceComputerName("\\\\\\NODE\\share"), "NODE");
    EXPECT_EQ(ResourceComputerName("\\\\NODE"), "NODE");
    EXPECT_EQ(ResourceComputerName("\\\\node two\\x"), "node two");
    for (const char* refused : {"", "\\", "\\\\", "\\\\\\\\", "\\NODE\\share", "NODE\\share",
                                "//NODE/share", " \\\\NODE"})
        EXPECT_EQ(ResourceComputerName(refused), std::nullopt) << refused;
}

TEST(Multinode, TrailingWhiteSpaceIsRemovedAndNothingElse) {
    EXPECT_EQ(TrimTrailingWhiteSpace("\\\\N\\cont\\ \t\r\n "), "\\\\N\\cont\\");
    EXPECT_EQ(TrimTrailingWhiteSpace(" \\\\N\\a b\\"), " \\\\N\\a b\\");
    EXPECT_EQ(TrimTrailingWhiteSpace(" \t "), "");
}

TEST(Multinode, AccountProposalTakesUserDomainOfAtMost39Characters) {
    const char* saved = getenv("USERDOMAIN");
    const std::string restore = saved == nullptr ? "" : saved;
    unsetenv("USERDOMAIN");
    EXPECT_EQ(ProposedServiceAccount(), "\\Telvane");
    setenv("USERDOMAIN", "KESTROVA", 1);
    EXPECT_EQ(ProposedServiceAccount(), "KESTROVA\\Telvane");
    setenv("USERDOMAIN", std::string(39, 'D').c_str(), 1);
    EXPECT_EQ(ProposedServiceAccount(), std::string(39, 'D') + "\\Telvane");
    setenv("USERDOMAIN", std::string(40, 'D').c_str(), 1);
    EXPECT_EQ(ProposedServiceAccount(), "\\Telvane");
    if (saved == nullptr)
        unsetenv("USERDOMAIN");
    else
        setenv("USERDOMAIN", restore.c_str(), 1);
}

TEST(Multinode, MessagesOfARefusedAccountChange) {
    EXPECT_STREQ(StringTable::Text(ChangeServiceFailureMessage(SCM_Failed)),
                 "Access was Denied. Please reenter your password.");
    EXPECT_STREQ(StringTable::Text(ChangeServiceFailureMessage(SCM_NoSuchAccount)),
                 "The specified service account does not exist. Please select another account.");
    for (const SCM_Error error : {SCM_BadService, SCM_MarkedForDelete, SCM_ServiceExists})
        EXPECT_STREQ(StringTable::Text(ChangeServiceFailureMessage(error)),
                     "Reconfiguration of the Telvane Server for multinode has failed.\nTelvane "
                     "may not be installed properly or the NT Registry may be corrupt.");
}

TEST(Multinode, WritesResourceNodeContainerPathAndRemoteCP) {
    TempRegistry registry;
    SetString(kServerEnvironmentKey, "ProfileConfigPath", "/srv/profiles");
    SetString(kServerSmpKey, "Other", "kept");
    const MultinodeWrite written = WriteMultinodeSettings("NODE", "\\\\NODE\\cont\\");
    EXPECT_TRUE(written.succeeded);
    EXPECT_TRUE(written.containerPathWritten);
    EXPECT_EQ(ValuesOf(kResourceNodeKey), (std::vector<RegValue>{{"1", REG_SZ, "NODE"}}));
    EXPECT_EQ(ValuesOf(kServerEnvironmentKey),
              (std::vector<RegValue>{{"ProfileConfigPath", REG_SZ, "/srv/profiles"},
                                     {"ContainerPath", REG_SZ, "\\\\NODE\\cont\\"}}));
    EXPECT_EQ(ValuesOf(kServerSmpKey),
              (std::vector<RegValue>{
                  {"Other", REG_SZ, "kept"},
                  {"RemoteCP", REG_SZ, kRemoteCPStart + HostName() + kRemoteCPEnd}}));
}

TEST(Multinode, MissingEnvironmentOrSmpKeysAreNotCreatedAndDecideAsDocumented) {
    {
        // Neither key: ResourceNode alone is written and the setup counts as done, but the
        // container path is not known to be written.
        TempRegistry registry;
        const MultinodeWrite written = WriteMultinodeSettings("NODE", "\\\\NODE\\cont\\");
        EXPECT_TRUE(written.succeeded);
        EXPECT_FALSE(written.containerPathWritten);
        EXPECT_EQ(ValuesOf(kResourceNodeKey), (std::vector<RegValue>{{"1", REG_SZ, "NODE"}}));
        EXPECT_FALSE(KeyExists(kServerEnvironmentKey));
        EXPECT_FALSE(KeyExists(kServerSmpKey));
    }
    {
        // An existing ResourceNode key is reused; its other values stay.
        TempRegistry registry;
        SetString(kResourceNodeKey, "Note", "x");
        CreateKey(kServerEnvironmentKey);
        const MultinodeWrite written = WriteMultinodeSettings("N2", "\\\\N2\\c");
        EXPECT_TRUE(written.succeeded);
        EXPECT_TRUE(written.containerPathWritten);
        EXPECT_EQ(ValuesOf(kResourceNodeKey),
                  (std::vector<RegValue>{{"Note", REG_SZ, "x"}, {"1", REG_SZ, "N2"}}));
    }
}

}  // namespace

namespace tlv::test {
namespace {

TEST(ContainerShare, AFolderOnACifsOrNfsMountHasItsSharesUncPath) {
    const std::string mounts =
        "/dev/sda1 / ext4 rw 0 0\n"
        "//node7/TelvaneServer /mnt/node7 cifs rw,vers=3.0 0 0\n"
        "//node7/TelvaneServer/server /mnt/node7/server cifs rw 0 0\n"
        "node8:/export/telvane /srv/node\\0408 nfs4 rw 0 0\n"
        "tmpfs /tmp tmpfs rw 0 0\n"
        "//old/share /mnt/late cifs rw 0 0\n"
        "/dev/sdb1 /mnt/late ext4 rw 0 0\n";
    // The deepest mount decides; a trailing backslash closes the path.
    EXPECT_EQ(UncPathOfFolder("/mnt/node7/server/cont", mounts),
              "\\\\node7\\TelvaneServer\\server\\cont\\");
    EXPECT_EQ(UncPathOfFolder("/mnt/node7", mounts), "\\\\node7\\TelvaneServer\\");
    EXPECT_EQ(UncPathOfFolder("/mnt/node7/a b", mounts), "\\\\node7\\TelvaneServer\\a b\\");
    // The kernel writes a blank in a mount point as \040.
    EXPECT_EQ(UncPathOfFolder("/srv/node 8/cont", mounts), "\\\\node8\\export\\telvane\\cont\\");
    // Local folders, a name that only starts like a mount point, a share mounted over.
    EXPECT_EQ(UncPathOfFolder("/tmp/x", mounts), std::nullopt);
    EXPECT_EQ(UncPathOfFolder("/home/op", mounts), std::nullopt);
    EXPECT_EQ(UncPathOfFolder("/mnt/node7x/cont", mounts), std::nullopt);
    EXPECT_EQ(UncPathOfFolder("/mnt/late/cont", mounts), std::nullopt);
    EXPECT_EQ(UncPathOfFolder("/anything", ""), std::nullopt);
}

}  // namespace
}  // namespace tlv::test
