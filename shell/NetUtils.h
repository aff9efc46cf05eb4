#pragma once
// Address checks and the PC's own addresses, used by every form that takes an address and by
// the transfer forms that tell the device which PC address serves its files. The main window
// forwards its operations of the same names to these functions.
#include "AnsiString.h"
#include "KvNetInterface.h"

#include <optional>
#include <vector>

// One dotted field as a number: decimal digits only, missing or malformed fields give bad.
int AddressFieldToInt(const AnsiString &field, int bad);

// A unicast host address: exactly three dots, 1..223 . 0..255 . 0..255 . 1..254.
bool IsValidIPAddress(AnsiString text);

// A mask of 2 to 31 one-bits followed by zero-bits, written as four dotted fields.
bool IsValidSubnetMask(const AnsiString &text);

// The dotted network part of an address under a mask; fields that are missing or not numbers
// count as 0.
AnsiString NetworkAddressOf(const AnsiString &address, const AnsiString &mask);

// What the main window keeps of the local address reports.
struct LocalAddressLists {
    // Lines of the last report that could be made (empty after a failed one).
    std::vector<AnsiString> IpConfigList;
    // Every "IP Address" value reports have brought, in order, without duplicates; it only
    // grows. Each entry is the text after the colon of its line, blank included, so readers
    // trim it.
    std::vector<AnsiString> IpAddressList;
};

// The local address report: one "IP Address" and one "Subnet Mask" line per IPv4 address of
// an interface that is up and not a loopback, read straight from the interfaces; nothing when
// the interfaces cannot be read.
std::optional<std::vector<AnsiString>> LocalAddressReportLines();

// Takes a report into the lists: replaces IpConfigList and appends new "IP Address" values
// (lines holding "Default Gateway" never count). A missing report only empties IpConfigList.
void TakeAddressReport(LocalAddressLists &lists, const std::optional<std::vector<AnsiString>> &report);

// Refreshes the lists from a new report; a report that cannot be made leaves IpAddressList as
// it was.
void GetLocalIPAddresses(LocalAddressLists &lists);
// The same, also handing back the whole address list in addresses.
void GetLocalIPAddresses(LocalAddressLists &lists, std::vector<AnsiString> &addresses);

// Up to ten IPv4 interfaces of the PC, in the system's order (the library's interface list).
std::vector<KvNetInterface> LocalInterfaceAddresses();

// What the address choice knows of the device (the main window's capability controls).
struct DeviceAddressInfo {
    AnsiString IPAddress;    // IPAddressEdit
    AnsiString SubnetMask;   // SubMaskEdit
    AnsiString SysIPAddress; // Ed_SysIpaddress
};

// The PC's own address on the device's network: the first interface whose network under its
// own mask equals the device's network under the device's mask; failing that, the first
// report address in the same /24 as the device's SysIPAddress (trimmed); the report is taken
// into lists only when no interface matched. target receives the address and the result is
// true only when one matched; otherwise target is left empty.
bool SelectLocalTftpAddress(const std::vector<KvNetInterface> &interfaces, const DeviceAddressInfo &device,
                            LocalAddressLists &lists, const std::optional<std::vector<AnsiString>> &report,
                            AnsiString &target);
// The same with this PC's interfaces and a fresh address report.
bool SelectLocalTftpAddress(const DeviceAddressInfo &device, LocalAddressLists &lists, AnsiString &target);
