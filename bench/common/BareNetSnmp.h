#pragma once
// The same operations as the benchmark's library runs, straight on net-snmp.
#include <string>
#include <vector>

namespace bench {

// Seconds for count synchronous gets of one scalar; -1 on failure.
double bareGets(int port, const std::string &oid, int count);
// Seconds for a walk of the table's columns one PDU per row; rows walked in rows.
double bareWalk(int port, const std::string &entryOid, const std::vector<int> &columns, int &rows);

} // namespace bench
