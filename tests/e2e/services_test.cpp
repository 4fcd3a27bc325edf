// Telvane Services through the C API against a real tlvsd, with real service processes.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace tlv::e2e {
namespace {

using Strings = std::vector<std::string>;
using namespace std::chrono_literals;

struct Definition {
    CTsymbol kind = SVC_KindExecutable;
    std::string commandLine = "/bin/sleep 30";
    std::int32_t exitTimeout = 1;
};

class ServicesTest : public ServerTest {
protected:
    CTerror add(const std::string& name, const Definition& definition = {}) {
        KvSet set;
        fill(set, definition);
        Record record;
        return outcome(CTadm_AddService(m_session, name.c_str(), set.get(), record.get(), nullptr),
                       record);
    }
    CTerror update(const std::string& name, const Definition& definition = {}) {
        KvSet set;
        fill(set, definition);
        Record record;
        return outcome(
            CTadm_UpdateService(m_session, name.c_str(), set.get(), record.get(), nullptr), record);
    }
    CTerror remove(const std::string& name) {
        Record record;
        return outcome(CTadm_RemoveService(m_session, name.c_str(), record.get(), nullptr), record);
    }
    CTerror start(const std::string& name) {
        Record record;
        return outcome(CTadm_StartService(m_session, name.c_str(), record.get(), nullptr), record);
    }
    CTerror stop(const std::string& name, CTsymbol mode = LEVEL_CHANGE_NORMAL) {
        Record record;
        return outcome(CTadm_StopService(m_session, name.c_str(), mode, record.get(), nullptr),
                       record);
    }
    CTerror states(Record& record) {
        KvSet ignored;
        return outcome(CTadm_GetServiceState(m_session, "", ignored.get(), record.get(), nullptr),
                       record);
    }
    // The state of one service, or 0 when it is not listed.
    CTsymbol stateOf(const std::string& name) {
        Record record;
        if (states(record) != CTerr_NoError) {
            return 0;
        }
        const Strings names = stringArray(record.results(), KEY_ServiceNames);
        const std::vector<CTsymbol> symbols = symbolArray(record.results(), KEY_ServiceStates);
        for (std::size_t i = 0; i < names.size() && i < symbols.size(); ++i) {
            if (names[i] == name) {
                return symbols[i];
            }
        }
        return 0;
    }
    bool reaches(const std::string& name, CTsymbol state) {
        return tlv::test::waitUntil([&] { return stateOf(name) == state; }, 5s);
    }

private:
    static void fill(const KvSet& set, const Definition& definition) {
        ASSERT_EQ(CTkvs_PutSymbol(set.get(), SVC_Kind, definition.kind, nullptr), CT_SUCCESS);
        ASSERT_EQ(
            CTkvs_PutString(set.get(), SVC_CommandLine, definition.commandLine.c_str(), nullptr),
            CT_SUCCESS);
        ASSERT_EQ(CTkvs_PutInt(set.get(), SVC_ExitTimeout, definition.exitTimeout, nullptr),
                  CT_SUCCESS);
        ASSERT_EQ(CTkvs_PutSymbol(set.get(), SVC_StartType, SVC_Optional, nullptr), CT_SUCCESS);
    }
};

TEST_F(ServicesTest, AddRefusesBadNamesKindsAndDuplicatesAndAddsAMissingExecutable) {
    Record none;
    EXPECT_EQ(states(none), CTerr_NotFound);
    EXPECT_EQ(stringArray(none.results(), KEY_ServiceNames), Strings{});
    EXPECT_EQ(symbolArray(none.results(), KEY_ServiceStates), std::vector<CTsymbol>{});

    EXPECT_EQ(add(""), CTerr_InvalidName);
    EXPECT_EQ(add(std::string(33, 'x')), CTerr_InvalidName);
    EXPECT_EQ(add("two words"), CTerr_InvalidName);
    EXPECT_EQ(add(std::string(32, 'x')), CTerr_NoError);
    EXPECT_EQ(add("Odd", {.kind = SVC_Optional}), CTerr_InvalidArgument);
    EXPECT_EQ(add("Sleeper"), CTerr_NoError);
    EXPECT_EQ(add("Sleeper"), CTerr_Exists);
    EXPECT_EQ(add("Ghost", {.commandLine = "/no/such/program"}), CTerr_InvalidArgument);

    Record record;
    ASSERT_EQ(states(record), CTerr_NoError);
    EXPECT_EQ(stringArray(record.results(), KEY_ServiceNames),
              (Strings{"Sleeper", std::string(32, 'x')}));
    EXPECT_EQ(symbolArray(record.results(), KEY_ServiceStates),
              std::vector<CTsymbol>(2, SVC_StateIdle));
    EXPECT_EQ(symbolArray(record.results(), SVC_StartType), std::vector<CTsymbol>(2, SVC_Optional));
    EXPECT_EQ(boolArray(record.results(), SVC_Disabled), std::vector<CTbool>(2, 0));
}

TEST_F(ServicesTest, StartStopNormalAndEmergencyRunRealProcesses) {
    ASSERT_EQ(add("Sleeper"), CTerr_NoError);
    EXPECT_EQ(stop("Sleeper"), CTerr_InvalidArgument) << "an idle service";
    ASSERT_EQ(start("Sleeper"), CTerr_NoError);
    EXPECT_EQ(start("Sleeper"), CTerr_ServiceBusy);
    ASSERT_TRUE(reaches("Sleeper", SVC_StateRunning));
    ASSERT_EQ(stop("Sleeper"), CTerr_NoError);
    ASSERT_TRUE(reaches("Sleeper", SVC_StateIdle));

    ASSERT_EQ(start("Sleeper"), CTerr_NoError);
    ASSERT_TRUE(reaches("Sleeper", SVC_StateRunning));
    EXPECT_EQ(stop("Sleeper", 0x12345678), CTerr_InvalidArgument);
    ASSERT_EQ(stop("Sleeper", LEVEL_CHANGE_EMERGENCY), CTerr_NoError);
    ASSERT_TRUE(reaches("Sleeper", SVC_StateIdle));

    EXPECT_EQ(start("Nobody"), CTerr_NotFound);
    EXPECT_EQ(stop("Nobody"), CTerr_NotFound);
}

TEST_F(ServicesTest, UpdateDefersForARunningServiceAndAddsAnUnknownOne) {
    ASSERT_EQ(add("Sleeper"), CTerr_NoError);
    EXPECT_EQ(update("Sleeper", {.commandLine = "/bin/sleep 20"}), CTerr_NoError);
    ASSERT_EQ(start("Sleeper"), CTerr_NoError);
    ASSERT_TRUE(reaches("Sleeper", SVC_StateRunning));
    EXPECT_EQ(update("Sleeper", {.commandLine = "/bin/sleep 25"}), CTerr_Deferred);
    EXPECT_EQ(update("Newcomer"), CTerr_NoError);
    EXPECT_EQ(stateOf("Newcomer"), SVC_StateIdle);
    EXPECT_EQ(update("bad name"), CTerr_InvalidName);
    EXPECT_EQ(stop("Sleeper", LEVEL_CHANGE_EMERGENCY), CTerr_NoError);
}

TEST_F(ServicesTest, RemoveRefusesBusyServicesAndDefersARunningOne) {
    ASSERT_EQ(add("Sleeper"), CTerr_NoError);
    ASSERT_EQ(start("Sleeper"), CTerr_NoError);
    EXPECT_EQ(remove("Sleeper"), CTerr_ServiceBusy) << "still starting";
    ASSERT_TRUE(reaches("Sleeper", SVC_StateRunning));
    EXPECT_EQ(remove("Sleeper"), CTerr_Deferred);
    EXPECT_EQ(update("Sleeper"), CTerr_NotFound) << "the definition is gone at once";
    EXPECT_EQ(stop("Sleeper"), CTerr_NoError);
    ASSERT_TRUE(tlv::test::waitUntil([&] { return stateOf("Sleeper") == 0; }, 5s));

    ASSERT_EQ(add("Stubborn", {.commandLine = std::string(SERVICE_HELPER) + " --ignore-term",
                               .exitTimeout = 2}),
              CTerr_NoError);
    ASSERT_EQ(start("Stubborn"), CTerr_NoError);
    ASSERT_TRUE(reaches("Stubborn", SVC_StateRunning));
    ASSERT_EQ(stop("Stubborn"), CTerr_NoError);
    EXPECT_EQ(stateOf("Stubborn"), SVC_StateStopping);
    EXPECT_EQ(remove("Stubborn"), CTerr_ServiceBusy) << "still stopping";
    EXPECT_EQ(stop("Stubborn", LEVEL_CHANGE_EMERGENCY), CTerr_NoError);

    EXPECT_EQ(remove("Nobody"), CTerr_NotFound);
}

}  // namespace
}  // namespace tlv::e2e
