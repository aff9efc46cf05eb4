#include "DhcpItems.h"

#include "Misc.h"

const FormItemTable kDynamicPoolItems = {
    {"2.7.2.1", "Dynamic IP Start", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.7.2.2", "Dynamic Range", KvSyntax::Integer, KvAccess::ReadWrite},
    {"2.7.2.3", "Dynamic Mask", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.7.2.4", "Dynamic Gateway", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.7.2.5", "Dynamic Wins", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.7.2.6", "Dynamic Dns", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.7.2.7", "Dynamic Domain", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"2.7.2.8", "Dynamic Lease", KvSyntax::Integer, KvAccess::ReadWrite},
    {"2.7.2.9", "Dynamic Status", KvSyntax::Integer, KvAccess::ReadWrite, &gDynamicStatusNames},
};

const FormItemTable kDhcpFunctionItems = {
    {"2.7.1", "Dynamic IP Function", KvSyntax::Integer, KvAccess::ReadWrite, &gDynamicIPFunctionNames},
};

// DNS is column 5 and WINS column 6, the other way round from the dynamic pool.
const FormItemTable kStaticPoolItems = {
    {"2.7.3.1.0", "Index", KvSyntax::Integer, KvAccess::NotAccess},
    {"2.7.3.1.1", "IP", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.7.3.1.2", "MAC", KvSyntax::MacAddress, KvAccess::ReadWrite},
    {"2.7.3.1.3", "Mask", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.7.3.1.4", "Gateway", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.7.3.1.6", "Wins", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.7.3.1.5", "DNS", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.7.3.1.7", "Domain", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"2.7.3.1.8", "Status", KvSyntax::Integer, KvAccess::ReadWrite, &gStatusNames},
};

const FormItemTable kDynamicLeaseItems = {
    {"2.7.4.1.1.0", "Index", KvSyntax::Integer, KvAccess::NotAccess},
    {"2.7.4.1.1.1", "Current Dynamic MAC", KvSyntax::MacAddress, KvAccess::ReadOnly},
    {"2.7.4.1.1.2", "Current Dynamic Assigned IP", KvSyntax::IpAddress, KvAccess::ReadOnly},
    {"2.7.4.1.1.3", "Current Dynamic Lease", KvSyntax::TimeTicks, KvAccess::ReadOnly},
};

const FormItemTable kStaticLeaseItems = {
    {"2.7.4.2.1.0", "Index", KvSyntax::Integer, KvAccess::NotAccess},
    {"2.7.4.2.1.1", "Current Static MAC", KvSyntax::MacAddress, KvAccess::ReadOnly},
    {"2.7.4.2.1.2", "Current Static Assigned IP", KvSyntax::IpAddress, KvAccess::ReadOnly},
};

const FormItemTable kSystemAddressItems = {
    {"1.2.2", "hIPAddress", KvSyntax::IpAddress, KvAccess::ReadWrite},
};
