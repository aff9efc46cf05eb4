// The tests' rule for a missing peer program: skipped by hand, failed under scripts/test.
#include "TestEnv.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

TEST(PeerRequirement, MissingPeerFailsUnderScriptsTest)
{
    const char *was = std::getenv("KV_REQUIRE_PEERS");
    const std::optional<std::string> saved = was ? std::optional<std::string>(was) : std::nullopt;
    ::setenv("KV_REQUIRE_PEERS", "1", 1);
    EXPECT_TRUE(kvtest::peersRequired());
    EXPECT_FATAL_FAILURE(KV_PEER_MISSING("snmpd is not installed"), "peer missing: snmpd is not installed");
    ::setenv("KV_REQUIRE_PEERS", "0", 1);
    EXPECT_FALSE(kvtest::peersRequired());
    ::unsetenv("KV_REQUIRE_PEERS");
    EXPECT_FALSE(kvtest::peersRequired());
    if (saved)
        ::setenv("KV_REQUIRE_PEERS", saved->c_str(), 1);
}
