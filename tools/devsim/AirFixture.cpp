#include "AirFixture.h"

#include "Catalog.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace devsim {

namespace {

constexpr std::array<std::string_view, 8> kSecurity = {
    "OFF",
    "WEP",
    "WPA-Enterprise",
    "WPA-Personal",
    "WPA2-Enterprise",
    "WPA2-Personal",
    "WPA-Auto-Enterprise",
    "WPA-Auto-Personal",
};

std::optional<int> number(const std::string &text, int min, int max)
{
    auto v = parseValue(Syntax::Integer, text);
    if (!v || v->num < min || v->num > max)
        return std::nullopt;
    return static_cast<int>(v->num);
}

std::optional<std::string> macOctets(std::string text)
{
    std::erase(text, ':');
    auto v = parseValue(Syntax::MacAddress, "0x" + text);
    return v ? std::optional(v->bytes) : std::nullopt;
}

AirStation parseStation(const std::vector<std::string> &f, const std::string &where)
{
    auto bad = [&](const std::string &what) { return std::runtime_error(where + ": " + what); };
    if (f.size() < 8)
        throw bad("expected BSSID SSID CHANNEL SIGNAL TYPE BAND SECURITY WDS [NAME=VALUE ...]");
    AirStation s;
    auto mac = macOctets(f[0]);
    auto ssid = parseValue(Syntax::DisplayStr, f[1]);
    auto channel = number(f[2], 1, 200);
    auto signal = number(f[3], 0, 100);
    auto wds = number(f[7], 0, 1);
    if (!mac)
        throw bad("bad BSSID " + f[0]);
    if (!ssid || ssid->bytes.size() > 32)
        throw bad("bad SSID " + f[1]);
    if (!channel || !signal || !wds)
        throw bad("channel 1..200, signal 0..100 and WDS 0|1 expected");
    if (f[4] != "AP" && f[4] != "AdHoc")
        throw bad("type AP or AdHoc expected: " + f[4]);
    if (f[5] != "a" && f[5] != "b" && f[5] != "g")
        throw bad("band a, b or g expected: " + f[5]);
    auto sec = std::find(kSecurity.begin(), kSecurity.end(), f[6]);
    if (sec == kSecurity.end())
        throw bad("unknown security " + f[6]);
    s.bssid = *mac;
    s.ssid = ssid->bytes;
    s.channel = *channel;
    s.signal = *signal;
    s.adHoc = f[4] == "AdHoc";
    s.band = f[5] == "a" ? 0 : f[5] == "b" ? 2 : 3;
    s.security = static_cast<int>(sec - kSecurity.begin());
    s.wds = *wds == 1;
    for (std::size_t i = 8; i < f.size(); ++i) {
        auto eq = f[i].find('=');
        auto v = eq == std::string::npos ? std::nullopt : parseValue(Syntax::DisplayStr, f[i].substr(eq + 1));
        if (!v || eq == 0)
            throw bad("expected NAME=VALUE: " + f[i]);
        s.extra[f[i].substr(0, eq)] = v->bytes;
    }
    return s;
}

} // namespace

std::string AirStation::field(std::string_view name, std::string_view fallback) const
{
    auto it = extra.find(name);
    return it == extra.end() ? std::string(fallback) : it->second;
}

std::string_view securityName(int code)
{
    return code >= 0 && code < static_cast<int>(kSecurity.size()) ? kSecurity[static_cast<std::size_t>(code)]
                                                                  : "";
}

std::vector<AirStation> parseAir(std::string_view text, const std::string &origin)
{
    std::vector<AirStation> out;
    int lineNo = 0;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        auto f = splitFields(line);
        if (!f.empty())
            out.push_back(parseStation(f, origin + ":" + std::to_string(lineNo)));
    }
    return out;
}

std::vector<AirStation> loadAir(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read the air fixture " + path);
    std::stringstream ss;
    ss << in.rdbuf();
    return parseAir(ss.str(), path);
}

} // namespace devsim
