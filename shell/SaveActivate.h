#pragma once
// Status \ Configuration (Save and Active, Discard Changes) and the main window's shut-down.
// The handlers themselves are members of TMainForm (SaveActivate.cpp); what is here can be
// used and checked without a main window.
#include <cstdint>
#include <vector>

class KvSNMPRequest;

// Ticks of the countdown after an activation: longer when the device is in one of the bridge
// AP modes (any mode but the first).
int32_t ActivationCountdownTicks(int apModeIndex);

// The longest the shut-down waits, in all, for answers still outstanding.
constexpr int kShutdownWaitMs = 6000;

// Stops every request's deliveries at once, then waits (handling events) until none of them
// has anything outstanding or waitMs have passed on the swappable clock, whichever is first.
// Afterwards each request may be destroyed without waiting again. Null entries are skipped.
void StopRequestsWithin(const std::vector<KvSNMPRequest *> &requests, int waitMs = kShutdownWaitMs);
