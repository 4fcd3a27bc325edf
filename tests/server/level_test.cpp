// Server levels and the services they start and stop, against a real tlvsd.
#include <gtest/gtest.h>

#include "tests/server/admin_calls.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

using tlv::wire::Response;

int levelOf(tlv::wire::ClientConnection& client) {
    Response response;
    return call(client, getServerLevel(), &response) == CTerr_NoError ? response.level() : -1;
}

TEST(ServerLevel, StartsAtOneAndRefusesInvalidLevelsAndModes) {
    TlvsdProcess server;
    ASSERT_TRUE(server.start({}));
    auto client = server.connect();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(levelOf(*client), 1);
    EXPECT_EQ(call(*client, setLevel(0)), CTerr_InvalidArgument);
    EXPECT_EQ(call(*client, setLevel(6)), CTerr_InvalidArgument);
    EXPECT_EQ(call(*client, setLevel(-1)), CTerr_InvalidArgument);
    EXPECT_EQ(call(*client, setLevel(3, SVC_Optional)), CTerr_InvalidArgument);
    EXPECT_EQ(levelOf(*client), 1);
    EXPECT_EQ(call(*client, setLevel(5, LEVEL_CHANGE_EMERGENCY)), CTerr_NoError);
    EXPECT_EQ(levelOf(*client), 5);
}

TEST(ServerLevel, MandatoryAtTwoOptionalAtThreeAndLoweringStopsThem) {
    TempDir data;
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path()}));
    auto client = server.connect();
    ASSERT_NE(client, nullptr);
    ServiceSetup mandatory;
    mandatory.startType = SVC_Mandatory;
    ServiceSetup disabled;
    disabled.disabled = true;
    ASSERT_EQ(call(*client, addService("Must", serviceDefinition(mandatory))), CTerr_NoError);
    ASSERT_EQ(call(*client, addService("May", serviceDefinition({}))), CTerr_NoError);
    ASSERT_EQ(call(*client, addService("Off", serviceDefinition(disabled))), CTerr_NoError);

    ASSERT_EQ(call(*client, setLevel(2)), CTerr_NoError);
    EXPECT_TRUE(waitForState(*client, "Must", SVC_StateRunning));
    EXPECT_EQ(serviceState(*client, "May"), SVC_StateIdle);

    ASSERT_EQ(call(*client, setLevel(3)), CTerr_NoError);
    EXPECT_TRUE(waitForState(*client, "May", SVC_StateRunning));
    EXPECT_EQ(serviceState(*client, "Off"), SVC_StateIdle);

    ASSERT_EQ(call(*client, setLevel(2)), CTerr_NoError);
    EXPECT_TRUE(waitForState(*client, "May", SVC_StateIdle));
    EXPECT_EQ(serviceState(*client, "Must"), SVC_StateRunning);

    ASSERT_EQ(call(*client, setLevel(1, LEVEL_CHANGE_EMERGENCY)), CTerr_NoError);
    EXPECT_TRUE(waitForState(*client, "Must", SVC_StateIdle));
    EXPECT_EQ(levelOf(*client), 1);
    EXPECT_EQ(server.terminate(), 0);
}

TEST(ServerLevel, IsKeptAcrossARestartAndBringsItsServicesBack) {
    TempDir data;
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path()}));
    auto client = server.connect();
    ASSERT_NE(client, nullptr);
    ServiceSetup mandatory;
    mandatory.startType = SVC_Mandatory;
    ASSERT_EQ(call(*client, addService("Must", serviceDefinition(mandatory))), CTerr_NoError);
    ASSERT_EQ(call(*client, setLevel(2)), CTerr_NoError);
    ASSERT_TRUE(waitForState(*client, "Must", SVC_StateRunning));

    EXPECT_EQ(server.terminate(), 0) << "stops the services and exits cleanly";
    ASSERT_TRUE(server.restart());
    client = server.connect();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(levelOf(*client), 2);
    EXPECT_TRUE(waitForState(*client, "Must", SVC_StateRunning));
    EXPECT_EQ(server.terminate(), 0);
}

}  // namespace
}  // namespace tlv::test
