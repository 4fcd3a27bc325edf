// A service runs as its account: root starts it with the account's uid, gid and groups; anyone
// else is refused another account's service, with the reason.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/process/spawnas.h"
#include "tests/config/regvalues.h"
#include "tests/support/children.h"
#include "tests/scm/service_fixture.h"

namespace tlv::test {
namespace {

// The line of /proc/PID/status that starts with the field, without the field's name.
std::string StatusLine(pid_t pid, const std::string& field) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(file, line);) {
        if (line.rfind(field + ":", 0) == 0)
            return line.substr(field.size() + 1);
    }
    return {};
}

std::vector<long> Numbers(const std::string& text) {
    std::istringstream in(text);
    std::vector<long> numbers;
    for (long n = 0; in >> n;)
        numbers.push_back(n);
    return numbers;
}

TEST(ServiceAccount, RootStartsTheServiceWithTheAccountsUidGidAndGroups) {
    tlv::platform::UserIdentity nobody;
    if (geteuid() != 0 || !tlv::platform::LookUpUser("nobody", nobody))
        GTEST_SKIP() << "starting as another account needs root and the nobody account";
    ServiceFixture fixture;
    fixture.Install("Worker", "/bin/sleep 30");
    SCMclass& manager = fixture.Manager();
    ASSERT_EQ(manager.ChangeService("Worker", "Worker", "KESTROVA\\nobody", "pw"), SCM_Success);
    const std::vector<pid_t> before = ThreadChildren();
    ASSERT_EQ(manager.StartAService("Worker"), SCM_Success);
    std::vector<pid_t> started = ThreadChildren();
    std::erase_if(started, [&](pid_t pid) { return std::ranges::count(before, pid) != 0; });
    ASSERT_EQ(started.size(), 1u);

    const pid_t pid = started.front();
    const long uid = nobody.uid;
    const long gid = nobody.gid;
    EXPECT_EQ(Numbers(StatusLine(pid, "Uid")), (std::vector<long>{uid, uid, uid, uid}));
    EXPECT_EQ(Numbers(StatusLine(pid, "Gid")), (std::vector<long>{gid, gid, gid, gid}));
    int count = 64;
    std::vector<gid_t> groups(64);
    ASSERT_GE(getgrouplist("nobody", nobody.gid, groups.data(), &count), 0);
    std::vector<long> expected(groups.begin(), groups.begin() + count);
    std::ranges::sort(expected);
    std::vector<long> actual = Numbers(StatusLine(pid, "Groups"));
    std::ranges::sort(actual);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(manager.StopAService("Worker"), SCM_Success);

    // An account that has since gone is refused, not run as root.
    SetString(ServiceFixture::KeyOf("Worker"), "ObjectName", "KESTROVA\\no-such-user-x9");
    EXPECT_EQ(manager.StartAService("Worker"), SCM_Failed);
    EXPECT_EQ(manager.FailureReason(), "the account KESTROVA\\no-such-user-x9 does not exist");
}

TEST(ServiceAccount, AnyoneButRootIsRefusedAnotherAccountWithTheReason) {
    tlv::platform::UserIdentity nobody;
    tlv::platform::UserIdentity root;
    if (geteuid() != 0 || !tlv::platform::LookUpUser("nobody", nobody) ||
        !tlv::platform::LookUpUser("root", root))
        GTEST_SKIP() << "acting as another user needs root and the nobody account";
    // A child that has become nobody asks to start a program as root.
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(report[0]);
        pid_t pid = 0;
        std::string message;
        const bool refused = setgid(nobody.gid) == 0 && setuid(nobody.uid) == 0 &&
                             !tlv::platform::StartDetachedProgramAs({"/bin/true"}, root, pid, message);
        [[maybe_unused]] const ssize_t written = write(report[1], message.data(), message.size());
        _exit(refused ? 0 : 1);
    }
    close(report[1]);
    char text[256] = {};
    const ssize_t size = read(report[0], text, sizeof text - 1);
    close(report[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(std::string(text, size > 0 ? static_cast<std::size_t>(size) : 0),
              "only root can start a program as root");
}

}  // namespace
}  // namespace tlv::test
