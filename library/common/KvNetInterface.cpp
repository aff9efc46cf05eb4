#include "KvNetInterface.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace {

AnsiString dotted(const sockaddr *address)
{
    if (!address || address->sa_family != AF_INET)
        return "0.0.0.0";
    char text[INET_ADDRSTRLEN] = {};
    const auto *in = reinterpret_cast<const sockaddr_in *>(address);
    if (!inet_ntop(AF_INET, &in->sin_addr, text, sizeof text))
        return "0.0.0.0";
    return text;
}

} // namespace

int GetLocalInterfaces(KvNetInterface (&records)[KvMaxNetInterfaces])
{
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0) {
        KvInterfacesFromList(nullptr, records);
        return 0;
    }
    int count = KvInterfacesFromList(list, records);
    freeifaddrs(list);
    return count;
}

int KvInterfacesFromList(const ifaddrs *list, KvNetInterface (&records)[KvMaxNetInterfaces])
{
    for (KvNetInterface &record : records)
        record = KvNetInterface{};
    int count = 0;
    // More than ten: the first ten, rather than none.
    for (const ifaddrs *entry = list; entry && count < KvMaxNetInterfaces; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        KvNetInterface &record = records[count++];
        record.Address = dotted(entry->ifa_addr);
        record.Netmask = dotted(entry->ifa_netmask);
        unsigned flags = entry->ifa_flags;
        record.Up = (flags & IFF_UP) ? 1 : 0;
        record.Broadcast = (flags & IFF_BROADCAST) ? 1 : 0;
        record.Loopback = (flags & IFF_LOOPBACK) ? 1 : 0;
        record.PointToPoint = (flags & IFF_POINTOPOINT) ? 1 : 0;
        record.Multicast = (flags & IFF_MULTICAST) ? 1 : 0;
    }
    return count;
}
