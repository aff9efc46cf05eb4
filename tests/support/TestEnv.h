#pragma once
// Paths and helpers shared by tests.
#include <string>

namespace kvtest {

// Repository root (for catalogs and resources).
std::string sourceDir();
// Build folder (for helper programs such as devsim).
std::string binaryDir();
// The test process's own folder in the temporary folder ($TMPDIR, else /tmp), removed with
// everything in it when the process ends.
std::string processTempDir();
// A fresh, empty folder in the process's folder; the caller may remove it earlier.
std::string makeTempDir(const std::string &prefix);
// A UDP port on 127.0.0.1 that was free a moment ago and that no other test process chooses
// while this one may still use it; never one the kernel gives client sockets.
int freeUdpPort();
// True under scripts/test (KV_REQUIRE_PEERS=1): a peer program a test needs must be there.
bool peersRequired();

} // namespace kvtest

// A test whose peer program (devsim, snmpd, a TFTP client) is missing or broken skips when run
// by hand, and fails under scripts/test, so that a missing package cannot pass unnoticed.
#define KV_PEER_MISSING(why)                                                                                 \
    do {                                                                                                     \
        if (kvtest::peersRequired())                                                                         \
            GTEST_FAIL() << "peer missing: " << (why);                                                       \
        else                                                                                                 \
            GTEST_SKIP() << (why);                                                                           \
    } while (0)
