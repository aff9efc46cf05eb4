#pragma once
// The DHCP server's MIB tables, read by the DHCP server form and by the LAN form's address
// checks.
#include "FormItems.h"

// The dynamic pool (scalars): start, size, mask, gateway, WINS, DNS, domain, lease, status.
extern const FormItemTable kDynamicPoolItems;
// Whether the server runs.
extern const FormItemTable kDhcpFunctionItems;
// The static pool, a fixed table (index, then IP, MAC, mask, gateway, WINS, DNS, domain,
// status); an empty row holds "0.0.0.0" and "000000000000".
extern const FormItemTable kStaticPoolItems;
// The current leases.
extern const FormItemTable kDynamicLeaseItems;
extern const FormItemTable kStaticLeaseItems;
// The device's own address.
extern const FormItemTable kSystemAddressItems;

// Items of the static pool table by position.
namespace StaticPoolItem {
constexpr int Index = 0, IP = 1, MAC = 2, Mask = 3, Gateway = 4, Wins = 5, DNS = 6, Domain = 7, Status = 8;
}
