// The command line of tlvsd and its fault plan.
#include "server/options.h"

#include <gtest/gtest.h>

namespace tlv::server {
namespace {

bool parse(std::vector<const char*> args, ServerOptions& options, std::string& error) {
    args.insert(args.begin(), "tlvsd");
    return parseOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(Options, DefaultsAndEveryOption) {
    ServerOptions defaults;
    std::string error;
    ASSERT_TRUE(parse({"--key", "/k"}, defaults, error)) << error;
    EXPECT_EQ(defaults.keyFile, "/k");
    EXPECT_EQ(defaults.host, "127.0.0.1");
    EXPECT_EQ(defaults.port, 2020);
    EXPECT_EQ(defaults.seed, Seed::Empty);
    EXPECT_TRUE(defaults.dataDir.empty());

    ServerOptions options;
    ASSERT_TRUE(parse({"--listen", "0.0.0.0:0", "--data", "/tmp/x", "--seed", "demo", "--name",
                       "lab", "--provider", "B=unavailable", "--provider", "A=available", "--fail",
                       "AddService=0x0160044Fx3", "--delay", "GetSPInfo=250"},
                      options, error))
        << error;
    EXPECT_EQ(options.host, "0.0.0.0");
    EXPECT_EQ(options.port, 0);
    EXPECT_EQ(options.dataDir, "/tmp/x");
    EXPECT_EQ(options.seed, Seed::Demo);
    EXPECT_EQ(options.name, "lab");
    ASSERT_EQ(options.providers.size(), 2u);
    EXPECT_EQ(options.providers[0].name, "B");
    EXPECT_FALSE(options.providers[0].available);
    EXPECT_TRUE(options.providers[1].available);
    EXPECT_EQ(options.faults.delayFor("GetSPInfo"), std::chrono::milliseconds(250));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(options.faults.takeFailure("AddService"), CTerr_Exists);
    }
    EXPECT_EQ(options.faults.takeFailure("AddService"), std::nullopt);
}

TEST(Options, BadCommandLinesSayWhatIsWrong) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases{
        {{"--listen", "nocolon"}, "--listen expects HOST:PORT, got \"nocolon\""},
        {{"--listen", "h:70000"}, "bad port in --listen \"h:70000\""},
        {{"--seed", "full"}, "--seed expects demo or empty, got \"full\""},
        {{"--fail", "Frobnicate=1"}, "unknown call \"Frobnicate\""},
        {{"--fail", "AddService=0xZZ"}, "bad error code in \"AddService=0xZZ\""},
        {{"--fail", "AddService=0x01600436x0"}, "bad count in \"AddService=0x01600436x0\""},
        {{"--delay", "AddService=-5"},
         "bad delay in \"AddService=-5\" (milliseconds, at most 600000)"},
        {{"--provider", "X=maybe"},
         "--provider expects NAME=available|unavailable, got \"X=maybe\""},
        {{"--data"}, "--data needs a value"},
        {{}, "without --data there is no admin key: name one with --key FILE"},
        {{"--data", "/d", "--key", ""}, "--key expects a file"},
        {{"--bogus", "1"}, "unknown option --bogus"},
        {{"--data", "/tmp/x", "--verbose"}, "unknown option --verbose"},
        {{"stray"}, "unexpected argument stray"},
    };
    for (const auto& [args, message] : cases) {
        ServerOptions options;
        std::string error;
        EXPECT_FALSE(parse(args, options, error)) << message;
        EXPECT_EQ(error, message);
    }
}

TEST(FaultPlan, DecimalCodesAndEveryCallWithoutACount) {
    FaultPlan plan;
    std::string error;
    ASSERT_TRUE(plan.addFailure("StopService=23069703", error)) << error;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(plan.takeFailure("StopService"), CTerr_ConnectionLost);
    }
    EXPECT_EQ(plan.takeFailure("StartService"), std::nullopt);
    EXPECT_EQ(plan.delayFor("StartService"), std::chrono::milliseconds(0));
}

}  // namespace
}  // namespace tlv::server
