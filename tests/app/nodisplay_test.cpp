// Widget programs without a display: a plain line and exit 2 instead of Qt's abort.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

#include "app/startargs.h"
#include "framework/widgets/displaycheck.h"

namespace tlv::test {
namespace {

DisplayEnvironment Environment(const char* platform, const char* x11 = "",
                               const char* wayland = "") {
    return DisplayEnvironment{platform, x11, wayland};
}

TEST(DisplayCheck, WindowsNeedADisplayUnlessAPlatformDrawsWithoutOne) {
    EXPECT_FALSE(CanOpenWindows(Environment("")));
    EXPECT_FALSE(CanOpenWindows(Environment("xcb")));
    EXPECT_FALSE(CanOpenWindows(Environment("wayland;xcb")));
    EXPECT_FALSE(CanOpenWindows(Environment("offscreenx")));
    EXPECT_TRUE(CanOpenWindows(Environment("", ":0")));
    EXPECT_TRUE(CanOpenWindows(Environment("", "", "wayland-0")));
    EXPECT_TRUE(CanOpenWindows(Environment("offscreen")));
    EXPECT_TRUE(CanOpenWindows(Environment("minimal:enable_fonts")));
    EXPECT_TRUE(CanOpenWindows(Environment("xcb;offscreen")));
}

struct ProgramRun {
    int exitCode = -1;
    bool crashed = true;
    std::string out;
    std::string err;
};

ProgramRun RunWithEmptyEnvironment(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("TLV_TEST_EMPTY_ENVIRONMENT"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

TEST(ProgramsWithoutDisplay, ExitTwoWithOnePlainLine) {
    const ProgramRun admin = RunWithEmptyEnvironment(TLV_BINARY_DIR "/app/tlvadmin", {});
    EXPECT_FALSE(admin.crashed);
    EXPECT_EQ(admin.exitCode, 2);
    EXPECT_EQ(admin.out, "");
    EXPECT_EQ(admin.err,
              "tlvadmin: no display to open a window on (DISPLAY and WAYLAND_DISPLAY "
              "are not set)\n");

    const ProgramRun editor = RunWithEmptyEnvironment(TLV_BINARY_DIR "/tools/tlvedit/tlvedit",
                                                      {"Default_Server", "new", "Application"});
    EXPECT_FALSE(editor.crashed);
    EXPECT_EQ(editor.exitCode, 2);
    EXPECT_EQ(editor.err,
              "tlvedit: no display to open a window on (DISPLAY and WAYLAND_DISPLAY "
              "are not set)\n");
    // Usage errors and help still come first: they need no display.
    const ProgramRun help =
        RunWithEmptyEnvironment(TLV_BINARY_DIR "/tools/tlvedit/tlvedit", {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.err, "");
}

// Qt's own options pass to Qt; anything else is refused before a display is needed, where it
// used to be ignored.
TEST(ProgramsWithoutDisplay, TheClientTakesQtOptionsAndRefusesTheRest) {
    const auto check = [](std::vector<const char*> words) {
        words.insert(words.begin(), "tlvadmin");
        return CheckCommandLine(static_cast<int>(words.size()), words.data());
    };
    EXPECT_EQ(check({}).action, CommandLineAction::Run);
    EXPECT_EQ(check({"-style", "Fusion", "--platform=offscreen", "-reverse"}).action,
              CommandLineAction::Run);
    EXPECT_EQ(check({"--help"}).action, CommandLineAction::Help);
    EXPECT_EQ(check({"--version"}).action, CommandLineAction::Version);
    EXPECT_EQ(check({"-style"}).problem, "-style needs a value");
    EXPECT_EQ(check({"Default_Server"}).problem, "unexpected argument Default_Server");
    EXPECT_EQ(check({"-reverse", "--server", "x"}).problem, "unknown option --server");

    const ProgramRun refused = RunWithEmptyEnvironment(TLV_BINARY_DIR "/app/tlvadmin", {"--x"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, "tlvadmin: unknown option --x (try --help)\n");
}

}  // namespace
}  // namespace tlv::test
