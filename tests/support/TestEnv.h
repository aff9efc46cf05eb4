#pragma once
// Paths and helpers shared by tests.
#include <string>

namespace kvtest {

// Repository root (for catalogs and resources).
std::string sourceDir();
// Build folder (for helper programs such as devsim).
std::string binaryDir();
// A fresh, empty folder under the system temp folder, removed by the caller when it wants.
std::string makeTempDir(const std::string &prefix);
// A UDP port on 127.0.0.1 that was free a moment ago.
int freeUdpPort();

} // namespace kvtest
