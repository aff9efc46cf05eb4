#pragma once
// The air around the simulated access point: the neighbouring stations that a site survey or
// a rogue detection finds, read from a fixture file (catalog/fixtures/air.txt, or --air FILE).
//
// One station per line, '#' starts a comment:
//   BSSID  SSID  CHANNEL  SIGNAL  TYPE  BAND  SECURITY  WDS  [NAME=VALUE ...]
// BSSID: 12 hex digits (colons allowed); SSID: "quoted" or bare, - for a hidden one;
// CHANNEL: 1..200; SIGNAL: 0..100 (percent); TYPE: AP | AdHoc; BAND: a | b | g;
// SECURITY: OFF WEP WPA-Enterprise WPA-Personal WPA2-Enterprise WPA2-Personal
//           WPA-Auto-Enterprise WPA-Auto-Personal; WDS: 0 | 1 (supports WDS);
// NAME=VALUE: further fields a handler may read (vendor="...", rate=54, ...).
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace devsim {

struct AirStation {
    std::string bssid; // six octets
    std::string ssid;
    int channel = 1;
    int signal = 0;     // percent
    bool adHoc = false; // an ad hoc network rather than an access point
    int band = 3;       // the device's mode codes: 0 a, 2 b, 3 g
    int security = 0;   // index into the security names: 0 OFF ... 7 WPA-Auto-Personal
    bool wds = false;
    std::map<std::string, std::string, std::less<>> extra;

    // An extra field, or fallback when the line has none.
    std::string field(std::string_view name, std::string_view fallback = {}) const;
};

// The security names in code order (the code is the index).
std::string_view securityName(int code);

// Throws std::runtime_error naming origin and line on a bad line.
std::vector<AirStation> parseAir(std::string_view text, const std::string &origin);
std::vector<AirStation> loadAir(const std::string &path);

} // namespace devsim
