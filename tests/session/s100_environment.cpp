// Starts the S.100 library once per test program, as the application does. Listed among the
// sources of every test program that makes KV sets or sessions.

#include <gtest/gtest.h>

#include "s100/s100.h"

namespace {

class S100Environment final : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(CT_Initialize(nullptr), CT_SUCCESS); }
    void TearDown() override { CT_Shutdown(nullptr); }
};

[[maybe_unused]] const ::testing::Environment* const kS100 =
    ::testing::AddGlobalTestEnvironment(new S100Environment);

}  // namespace
