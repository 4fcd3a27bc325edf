#pragma once
// A test against a real tlvsd on a data folder of its own, with one connected client.

#include <memory>

#include <gtest/gtest.h>

#include "tests/support/tlvsd_process.h"

namespace tlv::test {

class ServerClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.start({"--data", m_data.path()}));
        m_client = m_server.connect();
        ASSERT_NE(m_client, nullptr);
    }

    TempDir m_data;
    TlvsdProcess m_server;
    std::unique_ptr<tlv::wire::ClientConnection> m_client;
};

}  // namespace tlv::test
