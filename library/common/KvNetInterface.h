#pragma once
// The PC's IPv4 interfaces.
#include "AnsiString.h"

#include <cstdint>

struct KvNetInterface {
    AnsiString Address; // dotted
    AnsiString Netmask; // dotted
    uint8_t Up = 0;
    uint8_t Broadcast = 0;
    uint8_t Loopback = 0;
    uint8_t PointToPoint = 0;
    uint8_t Multicast = 0;
};

inline constexpr int KvMaxNetInterfaces = 10;

// Fills records with up to ten IPv4 interfaces in the system's order and returns how many
// are valid; with more than ten, the first ten. 0 when the system cannot list them.
int GetLocalInterfaces(KvNetInterface (&records)[KvMaxNetInterfaces]);

struct ifaddrs;
// The same from a given interface list (the system's, or a made-up one).
int KvInterfacesFromList(const ifaddrs *list, KvNetInterface (&records)[KvMaxNetInterfaces]);
