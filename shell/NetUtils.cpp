#include "NetUtils.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

namespace {

std::vector<AnsiString> splitDots(const AnsiString &text)
{
    std::vector<AnsiString> fields;
    AnsiString::size_type start = 0;
    for (;;) {
        auto dot = text.find('.', start);
        if (dot == AnsiString::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
}

// The four fields of a dotted text; fields past the end are empty.
std::array<AnsiString, 4> fourFields(const AnsiString &text)
{
    std::array<AnsiString, 4> out;
    auto fields = splitDots(text);
    for (std::size_t i = 0; i < out.size() && i < fields.size(); ++i)
        out[i] = fields[i];
    return out;
}

bool inRange(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

AnsiString trimBlanks(const AnsiString &s)
{
    auto first = s.find_first_not_of(" \t\r\n");
    if (first == AnsiString::npos)
        return {};
    auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

AnsiString dotted(const sockaddr *sa)
{
    if (sa == nullptr || sa->sa_family != AF_INET)
        return {};
    char buf[INET_ADDRSTRLEN] = {};
    const auto *in = reinterpret_cast<const sockaddr_in *>(sa);
    if (inet_ntop(AF_INET, &in->sin_addr, buf, sizeof buf) == nullptr)
        return {};
    return buf;
}

struct IfAddrsDeleter {
    void operator()(ifaddrs *p) const { freeifaddrs(p); }
};
using IfAddrsPtr = std::unique_ptr<ifaddrs, IfAddrsDeleter>;

bool readInterfaces(IfAddrsPtr &out)
{
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    out.reset(list);
    return true;
}

} // namespace

int AddressFieldToInt(const AnsiString &field, int bad)
{
    if (field.empty())
        return bad;
    std::int64_t value = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            return bad;
        value = value * 10 + (c - '0');
        if (value > INT32_MAX)
            return bad;
    }
    return static_cast<int>(value);
}

bool IsValidIPAddress(AnsiString text)
{
    if (std::count(text.begin(), text.end(), '.') != 3)
        return false;
    auto f = fourFields(text);
    return inRange(AddressFieldToInt(f[0], -1), 1, 223) && inRange(AddressFieldToInt(f[1], -1), 0, 255) &&
           inRange(AddressFieldToInt(f[2], -1), 0, 255) && inRange(AddressFieldToInt(f[3], -1), 1, 254);
}

bool IsValidSubnetMask(const AnsiString &text)
{
    if (std::count(text.begin(), text.end(), '.') != 3)
        return false;
    auto f = fourFields(text);
    std::uint32_t pattern = 0;
    for (int i = 0; i < 4; ++i) {
        int v = AddressFieldToInt(f[static_cast<std::size_t>(i)], -1);
        if (!inRange(v, i == 0 ? 1 : 0, 255))
            return false;
        pattern = (pattern << 8) | static_cast<std::uint32_t>(v);
    }
    if ((pattern & 0x40000000u) == 0 || (pattern & 1u) != 0)
        return false;
    // Ones then zeros: the inverted pattern plus one is a power of two.
    std::uint32_t zeros = ~pattern;
    return (zeros & (zeros + 1)) == 0;
}

AnsiString NetworkAddressOf(const AnsiString &address, const AnsiString &mask)
{
    auto a = fourFields(address);
    auto m = fourFields(mask);
    AnsiString out;
    for (std::size_t i = 0; i < 4; ++i) {
        int v = (AddressFieldToInt(a[i], 0) & 0xFF) & (AddressFieldToInt(m[i], 0) & 0xFF);
        if (i > 0)
            out += '.';
        out += std::to_string(v);
    }
    return out;
}

std::optional<std::vector<AnsiString>> LocalAddressReportLines()
{
    IfAddrsPtr list;
    if (!readInterfaces(list))
        return std::nullopt;
    std::vector<AnsiString> lines;
    for (const ifaddrs *p = list.get(); p != nullptr; p = p->ifa_next) {
        if (p->ifa_addr == nullptr || p->ifa_addr->sa_family != AF_INET)
            continue;
        if ((p->ifa_flags & IFF_UP) == 0 || (p->ifa_flags & IFF_LOOPBACK) != 0)
            continue;
        lines.push_back(AnsiString(p->ifa_name ? p->ifa_name : "") + ":");
        lines.push_back("        IP Address. . . . . . . . . . . . : " + dotted(p->ifa_addr));
        lines.push_back("        Subnet Mask . . . . . . . . . . . : " + dotted(p->ifa_netmask));
    }
    return lines;
}

void TakeAddressReport(LocalAddressLists &lists, const std::optional<std::vector<AnsiString>> &report)
{
    lists.IpConfigList.clear();
    if (!report)
        return;
    lists.IpConfigList = *report;
    for (const auto &line : lists.IpConfigList) {
        if (line.find("Default Gateway") != AnsiString::npos)
            continue;
        auto colon = line.find(':');
        if (line.find("IP Address") == AnsiString::npos || colon == AnsiString::npos)
            continue;
        AnsiString value = line.substr(colon + 1);
        auto &known = lists.IpAddressList;
        if (std::find(known.begin(), known.end(), value) == known.end())
            known.push_back(value);
    }
}

void GetLocalIPAddresses(LocalAddressLists &lists)
{
    TakeAddressReport(lists, LocalAddressReportLines());
}

void GetLocalIPAddresses(LocalAddressLists &lists, std::vector<AnsiString> &addresses)
{
    GetLocalIPAddresses(lists);
    addresses = lists.IpAddressList;
}

std::vector<KvNetInterface> LocalInterfaceAddresses()
{
    KvNetInterface records[KvMaxNetInterfaces];
    const int count = GetLocalInterfaces(records);
    return std::vector<KvNetInterface>(records, records + std::clamp(count, 0, KvMaxNetInterfaces));
}

namespace {

bool matchInterface(const std::vector<KvNetInterface> &interfaces, const DeviceAddressInfo &device,
                    AnsiString &target)
{
    const AnsiString deviceNet = NetworkAddressOf(device.IPAddress, device.SubnetMask);
    for (const auto &itf : interfaces) {
        if (!itf.Address.empty() && NetworkAddressOf(itf.Address, itf.Netmask) == deviceNet) {
            target = itf.Address;
            return true;
        }
    }
    return false;
}

bool matchReport(const DeviceAddressInfo &device, const LocalAddressLists &lists, AnsiString &target)
{
    static const AnsiString classC = "255.255.255.0";
    const AnsiString deviceNet = NetworkAddressOf(device.SysIPAddress, classC);
    for (const auto &entry : lists.IpAddressList) {
        if (NetworkAddressOf(trimBlanks(entry), classC) == deviceNet) {
            target = trimBlanks(entry);
            return !target.empty();
        }
    }
    return false;
}

} // namespace

bool SelectLocalTftpAddress(const std::vector<KvNetInterface> &interfaces, const DeviceAddressInfo &device,
                            LocalAddressLists &lists, const std::optional<std::vector<AnsiString>> &report,
                            AnsiString &target)
{
    target.clear();
    if (matchInterface(interfaces, device, target))
        return true;
    TakeAddressReport(lists, report);
    if (matchReport(device, lists, target))
        return true;
    target.clear();
    return false;
}

bool SelectLocalTftpAddress(const DeviceAddressInfo &device, LocalAddressLists &lists, AnsiString &target)
{
    target.clear();
    if (matchInterface(LocalInterfaceAddresses(), device, target))
        return true;
    GetLocalIPAddresses(lists);
    if (matchReport(device, lists, target))
        return true;
    target.clear();
    return false;
}
