#pragma once
// The benchmarks' references straight on net-snmp: SNMPv2c requests to 127.0.0.1 with
// nothing of the library in between, every answer's values read as text and handed to a
// check, so a reference that did not do its work fails like the library would.
#include <functional>
#include <string>
#include <vector>

namespace bench {

using Name = std::vector<unsigned long>;
// The values of one answer: octet strings as they are, numbers in decimal.
using Values = std::vector<std::string>;

Name parseName(const std::string &dotted);

class BareSession {
public:
    BareSession(int port, const std::string &community);
    ~BareSession();
    BareSession(const BareSession &) = delete;
    BareSession &operator=(const BareSession &) = delete;
    bool ok() const { return m_session != nullptr; }
    enum class Outcome { Answered, EndOfView, Failed };
    // One GET (or GETNEXT) of the names: the names answered and their values. Failed on a
    // failure, an error status or no such object; EndOfView when the agent has no more.
    Outcome request(bool next, const std::vector<Name> &names, std::vector<Name> &answered, Values &values);

private:
    void *m_session = nullptr;
};

// Seconds for count gets of the objects, one PDU each; every answer's values go to check.
// -1 when a get or a check failed.
double bareGets(int port, const std::string &community, const std::vector<std::string> &oids, int count,
                const std::function<bool(const Values &)> &check);

// Seconds for a walk of the table's columns, one PDU per row; each row's index (what follows
// the column in its names) and values go to check; rows counts the rows. -1 when a request or
// a check failed.
double bareWalk(int port, const std::string &community, const std::string &entry,
                const std::vector<int> &columns, int &rows,
                const std::function<bool(const Name &index, const Values &)> &check);

} // namespace bench
