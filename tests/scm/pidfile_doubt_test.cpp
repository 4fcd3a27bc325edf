// What a pid file left to anyone's hands cannot do: block the reader, pass for "stopped", or
// make a stop signal someone else's process. And the bounds on what the service database says.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "config/multinode.h"
#include "platform/process/alive.h"
#include "platform/process/pidfile.h"
#include "platform/process/spawn.h"
#include "platform/scm/servicedb.h"
#include "tests/config/regvalues.h"
#include "tests/scm/service_fixture.h"

namespace tlv::test {
namespace {

using tlv::platform::PidFileState;
using tlv::platform::ReadPidFile;

std::optional<uid_t> NobodyUid() {
    const passwd* nobody = getpwnam("nobody");
    return nobody == nullptr ? std::nullopt : std::optional<uid_t>(nobody->pw_uid);
}

TEST(PidFileDoubt, FifosLinksFoldersAndOtherUsersFilesAreDoubtfulNeverAbsent) {
    TempDir dir;
    const std::string fifo = dir.path() + "/fifo.pid";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    // Returns at once: nobody writes into the FIFO.
    EXPECT_EQ(ReadPidFile(fifo, geteuid()).state, PidFileState::Doubtful);
    EXPECT_EQ(tlv::platform::ReadLivePid(fifo), std::nullopt);

    const std::string target = dir.path() + "/real.pid";
    std::ofstream(target) << "12345\n";
    const std::string link = dir.path() + "/link.pid";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    const tlv::platform::PidFileReading linked = ReadPidFile(link, geteuid());
    EXPECT_EQ(linked.state, PidFileState::Doubtful);
    EXPECT_EQ(linked.why, "a symbolic link");
    EXPECT_EQ(ReadPidFile(dir.path(), geteuid()).state, PidFileState::Doubtful);
    EXPECT_EQ(ReadPidFile(target, geteuid()).state, PidFileState::Stale);
    EXPECT_EQ(ReadPidFile(dir.path() + "/none.pid", geteuid()).state, PidFileState::Absent);
    EXPECT_EQ(ReadPidFile(dir.path() + "/none/x.pid", geteuid()).state, PidFileState::Absent);

    // tlvsd refuses to take the FIFO's place instead of hanging on it.
    tlv::platform::PidFileWriter writer;
    std::string message;
    EXPECT_FALSE(writer.Write(fifo, message));
    EXPECT_EQ(message, fifo + " is not a pid file that can be replaced: not a plain file");

    if (geteuid() != 0 || !NobodyUid())
        GTEST_SKIP() << "another user's file needs root and the nobody account";
    ASSERT_EQ(chown(target.c_str(), *NobodyUid(), static_cast<gid_t>(-1)), 0);
    const tlv::platform::PidFileReading foreign = ReadPidFile(target, geteuid());
    EXPECT_EQ(foreign.state, PidFileState::Doubtful);
    EXPECT_EQ(foreign.why, "owned by another user");
    // The service's own account may own it.
    EXPECT_EQ(ReadPidFile(target, *NobodyUid()).state, PidFileState::Stale);
}

TEST(PidFileDoubt, AServiceInDoubtIsNotStoppedAndItsFileMakesNoOneASignalTarget) {
    if (geteuid() != 0 || !NobodyUid())
        GTEST_SKIP() << "another user's pid file needs root and the nobody account";
    ServiceFixture fixture;
    fixture.InstallServer();
    SCMclass& manager = fixture.Manager();
    // A victim process, and a held pid file naming it, owned by someone the service is not.
    pid_t victim = 0;
    ASSERT_TRUE(tlv::platform::StartDetachedProcess("/bin/sleep 30", &victim));
    {
        tlv::platform::PidFileWriter writer;
        std::string message;
        ASSERT_TRUE(writer.Write(fixture.PidFile(), message)) << message;
        std::ofstream(fixture.PidFile(), std::ios::trunc) << victim << "\n";
        ASSERT_EQ(chown(fixture.PidFile().c_str(), *NobodyUid(), static_cast<gid_t>(-1)), 0);

        SCM_State state = SCM_Stopped;
        EXPECT_EQ(manager.QueryStatus("TLVS Server", state), SCM_Failed);
        EXPECT_EQ(state, SCM_Stopped);  // untouched
        EXPECT_FALSE(IsServerStopped(manager));
        EXPECT_EQ(manager.StopAService("TLVS Server"), SCM_Failed);
        EXPECT_EQ(manager.StartAService("TLVS Server"), SCM_Failed);
        EXPECT_TRUE(tlv::platform::IsProcessAlive(victim));

        const SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        const SC_HANDLE service = OpenServiceA(scm, "TLVS Server", SERVICE_QUERY_STATUS);
        SERVICE_STATUS status{};
        EXPECT_FALSE(QueryServiceStatus(service, &status));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
        EXPECT_EQ(std::string(GetLastErrorReason()), fixture.PidFile() + ": owned by another user");
        CloseServiceHandle(service);
        CloseServiceHandle(scm);
    }
    kill(victim, SIGKILL);
}

TEST(ServiceDatabaseBounds, WaitHintIsKeptWithinATenthOfASecondAndAMinute) {
    ServiceFixture fixture;
    fixture.Install("Pager", "/bin/true");
    const std::pair<DWORD, DWORD> cases[] = {
        {0xFFFFFFFF, 60000}, {0, 100}, {99, 100}, {1500, 1500}, {60001, 60000}};
    for (const auto& [stored, used] : cases) {
        SetNumber(ServiceFixture::KeyOf("Pager"), "WaitHint", stored);
        tlv::platform::ServiceRecord record;
        ASSERT_EQ(tlv::platform::ReadService("Pager", record), ERROR_SUCCESS);
        EXPECT_EQ(record.waitHint, used) << stored;
    }
}

TEST(ServiceDatabaseBounds, TheLockNamesItsHolderByPidAndStartTime) {
    ServiceFixture fixture;
    const std::string lockKey = "SYSTEM\\CurrentControlSet\\Control\\ServiceDatabaseLock";
    const pid_t parent = getppid();
    const std::optional<std::uint64_t> started = tlv::platform::ProcessStartTime(parent);
    ASSERT_TRUE(started.has_value());
    // The parent's pid with another start time: a holder that ended and whose pid was reused.
    SetString(lockKey, "Owner", std::to_string(parent) + ":" + std::to_string(*started + 1));
    EXPECT_FALSE(tlv::platform::IsDatabaseLockedByOther());
    // A bare pid, as an older lock kept it, proves nothing either.
    SetNumber(lockKey, "Owner", static_cast<DWORD>(parent));
    EXPECT_FALSE(tlv::platform::IsDatabaseLockedByOther());
    SetString(lockKey, "Owner", std::to_string(parent) + ":" + std::to_string(*started));
    EXPECT_TRUE(tlv::platform::IsDatabaseLockedByOther());
    EXPECT_EQ(tlv::platform::LockDatabase(), ERROR_SERVICE_DATABASE_LOCKED);

    DeleteKeyTree(lockKey);
    ASSERT_EQ(tlv::platform::LockDatabase(), ERROR_SUCCESS);
    EXPECT_EQ(ValuesOf(lockKey).at(0).data,
              std::to_string(getpid()) + ":" +
                  std::to_string(*tlv::platform::ProcessStartTime(getpid())));
    EXPECT_FALSE(tlv::platform::IsDatabaseLockedByOther());
    EXPECT_EQ(tlv::platform::UnlockDatabase(), ERROR_SUCCESS);
}

}  // namespace
}  // namespace tlv::test
